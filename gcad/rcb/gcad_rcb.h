// RenderCallback: paints one 3-D view. The host view calls it for every repaint: it collects
// the visible elements, orders them by sort key, serves the six render stages and draws each
// element step by step through the renderer registered for its type, keeping its place
// between draw() calls so that a huge scene is drawn in slices. The application derives a
// concrete callback that says which elements the view shows. The source is split by area:
// gcad_rcb (drawing cycle), gcad_rcb_mark, gcad_rcb_snapshot and gcad_rcb_coord_system.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/cad/vaq_cad_properties.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_frame.h"
#include "gcad/host/gl/vaq_gl_render_callback.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/renderers/gcad_renderer_container.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Vaq::CAD {
class DistPullOut;
}
namespace Vaq::Fig2 {
class Figure;
class ImageData;
class SnapshotData;
} // namespace Vaq::Fig2

namespace Vaq::GCAD {

class CADRenderer;
class ClippingInterface;
class DeregisterCADElement;
class GLOverlay3d;
class Overlay2d;

// Hands a snapshot document the one picture it names (not owned).
class SingleImageTokenInterface : public Fig2::FigureTokenInterface
{
public:
    SingleImageTokenInterface(const QString &token, const Fig2::ImageData *image)
        : m_token(token)
        , m_image(image)
    {
    }
    // Throws ProgError "Unhandled token" for any token but its own.
    const Fig2::ImageData *getImage(const QString &token) const override;

private:
    QString m_token;
    const Fig2::ImageData *m_image;
};

class RenderCallback : public GL::RenderCallback
{
    Q_OBJECT

public:
    // Where the coordinate axes are drawn.
    enum CoordSystemMode_t {
        CSM_VIEW_CORNER = 0, // a small axis cross in a corner of the view
        CSM_ORIGIN = 1, // axes at the model origin, the scene box widened for them
    };

    // A pull-out handle a renderer drew, for picking it later.
    struct DistanceHandler
    {
        BaVec3d<double> position;
        CAD::Element *element = nullptr;
        CAD::DistPullOut *pullOut = nullptr;
    };

    explicit RenderCallback(QObject *parent = nullptr);
    ~RenderCallback() override;

    // The host's drive contract of one repaint.
    void initAllElementsForDrawing() override;
    void preDraw() override;
    bool draw() override;
    void postDraw() override;
    // Everything this view keeps on the GPU leaves it (the data is kept).
    void resetAllRenderData() override;
    // The view's context goes away: what only this view drew leaves the GPU, and the pooled
    // buffer names are deleted, while the context is still current.
    void widgetAboutToBeDestroyed() override;
    // The cube around the outer sphere of the scene, so that it does not change as the view
    // turns; false when nothing is shown.
    bool getBoundingBox(BaVec3d<double> *min, BaVec3d<double> *max) override;

    // What the concrete callback supplies.
    virtual const CAD::Properties::Global *getGlobalProperties() const = 0;
    virtual bool acceptsObject(const TObject *object) = 0;
    // The top-level entries the view shows; their descendants are drawn with them.
    virtual std::vector<CAD::ElementAndStageImp> getElementsForDrawing() = 0;
    // How many points the view shows, all elements together: the renderers thin out large
    // scenes by it while the view moves.
    virtual unsigned getNumberOfPointsForDrawing() const = 0;

    // Model units per pixel, smaller while a high-resolution snapshot is rendered.
    virtual double getPixelSize() const;
    // Whether element was collected by the last initAllElementsForDrawing.
    virtual bool isElementValid(const CAD::Element *element) const;
    // Marking (gcad_rcb_mark): elements this view shows in a colour of the caller's choice,
    // with their labels highlighted. Each returns whether something changed and repaints the
    // view's overlay stage when it did (markElements and unmarkElements always repaint).
    // renderLevel, when given, is lowered to the lowest render level of a changed element.
    bool markElement(CAD::Element *element, const Color &color);
    // Throws ProgError "Wrong size for vectors!" (nothing changed) for vectors of different length.
    bool markElements(
        const std::vector<CAD::Element *> &elements, const std::vector<Color> &colors, unsigned *renderLevel);
    bool unmarkElement(); // all
    bool unmarkElement(CAD::Element *element);
    bool unmarkElements(const std::vector<CAD::Element *> &elements, unsigned *renderLevel);
    // Single points of an element; throws ProgError "highlight of points not possible" for an
    // element that cannot highlight points. Unmarking neither refreshes nor repaints.
    bool markPointOfElement(CAD::Element *element, const std::vector<int> &indices, const Color &color);
    bool unmarkPointOfElement(CAD::Element *element, const std::vector<int> &indices);
    bool unmarkPointOfElement(CAD::Element *element);
    // Whether the view marks element, and in which colour. Snapshots show no marking.
    virtual bool isElementMarked(const CAD::Element *element, Color *color) const;
    virtual bool isElementVisible(const CAD::Element *element) const;
    // Whether an open view of this library (one the application lists) other than except
    // collected element in its last repaint and shows it.
    static bool isElementShownInOpenViews(
        const CAD::Element *element, const RenderCallback *except = nullptr);
    virtual const CAD::DefaultProperties *getDefaultProperties() const;
    virtual bool showCADLabels() const { return true; }
    // The figure the 2-D overlay gathers the element labels and legends of this view into;
    // owned by the concrete callback. Null: the view shows no labels.
    virtual Fig2::Figure *getFigure() { return nullptr; }
    Overlay2d *getOverlay2d() const { return _overlay2d.get(); }
    GLOverlay3d *getOverlay3d() const { return _overlay3d.get(); }
    virtual CAD::StageIdentifier getActualStageIdentifier() const { return CAD::StageIdentifier::NO_STAGE; }
    virtual ClippingInterface *getClippingInterface() const { return nullptr; }
    // The visible box of another view, for showing it in this one (picture in picture): its
    // centre, its unit right and up directions and its width and height in model units. False
    // when there is none to show (also when that view no longer exists).
    virtual bool getViewVolumeForVisualization(BaVec3d<double> *centre, BaVec3d<double> *right,
        BaVec3d<double> *up, double *width, double *height) const
    {
        (void)centre, (void)right, (void)up, (void)width, (void)height;
        return false;
    }
    virtual bool isCoordinateAxisDrawingEnabled() const { return _axis_drawing_enabled; }
    virtual bool isCoordinateGridDrawingEnabled() const { return _axis_grid_drawing_enabled; }
    virtual bool isWriteViewDirectionEnabled() const { return _write_view_direction; }

    // What the last repaint drew where (gcad_rcb_stencil). Pixels are GL window coordinates
    // (origin lower left); only elements this view collected count, and labels win over the
    // geometry under them. searchAround lets a background pixel find the nearest element.
    CAD::Element *getNearestRenderedElement(const BaVec2d<double> &pixel, bool searchAround) const;
    // Every element drawn in the rectangle between the corners, each once, in pointer order.
    std::vector<CAD::Element *> getRenderedElements(const BaVec2d<double> &corner1,
        const BaVec2d<double> &corner2, bool withLabels, bool clipToView) const;
    // The one element at the pixel, or null; throws ProgError "too many elements" when more
    // than one covers it.
    CAD::Element *getRenderedElement(const BaVec2d<double> &pixel, bool clipToView) const;
    // The pull-out handle drawn within 4 pixels of pixel in x and in y, the one nearest the
    // viewer (largest depth) among several; its element goes to *element (may be null). Null
    // when none is that close.
    CAD::DistPullOut *getPullOutDist(const BaVec2d<double> &pixel, CAD::Element **element) const;
    // The scene point under window pixel (x, y) nearest the viewer, over every element the view
    // shows and the clipping plane keeps: *point gets it (view coordinates) and *depth its
    // depth (larger is nearer, see CAD::FindParameter). False over the background, *depth then
    // the lowest double.
    virtual bool getRotationCenterPoint(int x, int y, double *depth, BaVec3d<double> *point);

    // The element under the mouse in the view's window (its label first), or null without a
    // window or with the mouse outside it.
    virtual CAD::Element *getElementAtMousePosition();

    // The coordinate system (gcad_rcb_coord_system). The view direction named by the part of
    // the drawn coordinate system under the mouse, VD_NONE for none, while the view moves, or
    // where an editor claims the mouse; it is remembered for getSelectedCoordinateView.
    GL::ViewCreator::ViewDirection_t getCoordinateElementUnderMouse();
    // The direction a click turns the view to: the part under the mouse, or its opposite when
    // the view already looks along it. VD_NONE without a view or with axis drawing off.
    GL::ViewCreator::ViewDirection_t getSelectedCoordinateView();
    // Whether the part under the mouse changed since the last question.
    virtual bool overlay3dNeedsUpdate();
    // Whether the depth range of the scene box min to max must grow for the corner cross
    // (anchored CORNER_CROSS_PIXELS from the lower left corner, axes as long); *out gets the
    // growth in model units. The first argument is not used.
    virtual bool expandBBoxForDrawing(
        double, const BaVec3d<double> &min, const BaVec3d<double> &max, double *out);
    // The temporary elements the 3-D overlay drew the coordinate system from (owned here).
    const std::vector<CAD::Element *> &getCoordinateElements() const { return _coordinate_elements; }
    // Length of the axes at the origin, from the last scene box.
    double getCoordinateAxisLength() const { return _axis_length; }
    static constexpr double CORNER_CROSS_PIXELS = 60.0;

    // Orders elements for selection: derived meshes and section results first, then plain
    // elements, deviation point sets, point clouds, measurements, measuring-plan reference
    // points and last geometric primitives; each group keeps its order.
    static void sortElementsForSelection(std::vector<CAD::Element *> &elements);

    const QString &getSpecializedContextMenuName() const { return _specialized_context_menu_name; }
    void setSpecializedContextMenuName(const QString &name) { _specialized_context_menu_name = name; }

    // Sets the length of the origin axes from the box and widens the box for them when they
    // are drawn there; true when it did. An empty box has min.x at the largest double.
    bool addPreviewBoundingBox(BaVec3d<double> *min, BaVec3d<double> *max);

    // Lets the mesh pipeline drop the GPU data of elements no open view draws.
    static void freeInvisibleElementRenderData();

    // Renderers record the pull-out handles they draw; emptied at the start of render stage 2.
    void addDistanceHandler(
        const BaVec3d<double> &position, CAD::Element *element, CAD::DistPullOut *pullOut);
    const std::vector<DistanceHandler> &getDistanceHandlers() const { return _distance_handlers; }

    double getSnapshotScaling() const { return _snapshot_scaling; }
    // A printable document of the view: its picture, framed, with the 2-D overlay's texts and
    // the label figure on top as figure elements. Where the host renders off-screen with
    // enough graphics memory the view is drawn once more with its longer side at the
    // snapshot size of the widget options (at most getMaxSnapshotSize()), every pixel size
    // scaled with it; size and scaling are restored afterwards, also when that repaint
    // throws. *ok tells whether the picture could be read; the document is made either way.
    std::unique_ptr<Fig2::SnapshotData> createSnapshot(bool *ok);
    // A document of size millimetres showing image (which need live only during the call),
    // converted as conversion says.
    static std::unique_ptr<Fig2::SnapshotData> createSnapshotFromImage(
        const Fig2::ImageData *image, const BaVec2d<double> &size, GView::Convert_t conversion);
    // The token under which a snapshot document names the view's picture.
    static const QString SNAPSHOT_IMAGE_TOKEN;
    // The longest side of a high-resolution snapshot: 2048 pixels unless the application
    // allows more.
    static int getMaxSnapshotSize() { return _max_snapshot_size; }
    static void setMaxSnapshotSize(int pixels) { _max_snapshot_size = pixels; }
    // A high-resolution snapshot is drawn in this many horizontal bands, one band-sized frame
    // buffer used for all: with a software rasteriser that buffer is process memory, and with
    // a quarter of the rows the snapshot takes at most 1.5 times its picture's size.
    static constexpr int SNAPSHOT_BANDS = 4;
    // The element being drawn, null between elements.
    CAD::Element *getCurrentElement() const { return _current_element; }
    // Sort key and entry of every element collected by the last initAllElementsForDrawing,
    // in drawing order (equal keys in collection order).
    using DrawOrder = std::vector<std::pair<int, CAD::ElementAndStageImp>>;
    const DrawOrder &getDrawOrder() const { return _draw_order; }

    // The renderer registered for an element type, or null.
    CADRenderer *findRenderer(CAD::ElementCreator::Element_t type) const
    {
        return _renderer_container.getRenderer(type);
    }
    // The renderer for an element type; null for types that are never drawn. Throws
    // ProgError "No renderer for type %1 (%2)" for a type without renderer, and "renderer
    // exists for element that will not be drawn" for a never-drawn type with one.
    CADRenderer *getRenderer(CAD::ElementCreator::Element_t type) const;

    void setSpotlightEnabled(bool enabled) { _spotlight_enabled = enabled; }
    bool isSpotlightEnabled() const { return _spotlight_enabled; }
    void setSpotlightRadius(double radius) { _spotlight_radius = radius; }

    // Coordinate system settings, shared by all views.
    static void setCoordinateAxisDrawingEnabled(bool enabled) { _axis_drawing_enabled = enabled; }
    CoordSystemMode_t getCoordinateAxisDrawingMode() const { return _axis_drawing_mode; }
    static void setCoordinateAxisDrawingMode(CoordSystemMode_t mode) { _axis_drawing_mode = mode; }
    double getCoordinateAxisLengthFactor() const { return _axis_length_factor; }
    static void setCoordinateAxisLengthFactor(double factor) { _axis_length_factor = factor; }
    static void setCoordinateGridDrawingEnabled(bool enabled) { _axis_grid_drawing_enabled = enabled; }
    static void setWriteViewDirectionEnabled(bool enabled) { _write_view_direction = enabled; }
    const Color &getColorForAxisNotation() const { return _col_axis_notation; }
    static void setColorForAxisNotation(const Color &color) { _col_axis_notation = color; }
    double getSizeForAxisNotation() const { return _size_axis_notation; }
    static void setSizeForAxisNotation(double size) { _size_axis_notation = size; }

protected:
    // Concrete callbacks may register renderers of their own beside the library's.
    RendererContainer &getRendererContainer() { return _renderer_container; }

private:
    friend class DeregisterCADElement;
    friend class GLOverlay3d;
    friend class Overlay3d;

    bool getNextElement();
    // The part of the view (GL window coordinates) that drawing element may touch: its display
    // box projected and grown by its renderer's pixel reach; the whole view when either is
    // missing.
    QRect getTouchedArea(CAD::Element *element, const CAD::StageIdentifier &stage) const;
    // One step of the current element in render stage 1 or 2.
    bool drawElementStep();
    // The 3-D overlay's pass, the stencil set to no element over the view where it may draw.
    void drawOverlay3d(bool pass);
    int getSortKeyForElement(const CAD::Element *element) const;
    void collectElement(TObject *object, const CAD::StageIdentifier &stage);
    void registerElement(CAD::Element *element, const CAD::StageIdentifier &stage);
    void initRenderObject();
    void drawSpotlight();
    void addCoordinateElement(CAD::Element *element, const CAD::StageIdentifier &stage);
    // Empties the list; the elements are not deleted.
    void resetCoordinateSystem();
    // Deletes the listed elements, then empties the list.
    void deleteCoordinateElements();
    // The mouse in the view's window, in widget pixels (origin top left); none without a
    // window or outside it.
    std::optional<QPoint> getCursorPosition() const;
    void createDeregisterObject(CAD::Element *element);
    // The element is being destroyed: forget everything about it.
    void deregisterMarkedElement(CAD::Element *element);
    void clearElementFromRenderedElements(CAD::Element *element);
    bool isMarkedIn(const CAD::Element *element, const Color &color) const;
    void repaintForMarking();
    // Brings the element's own highlight state (and its label's) in line with this view.
    void updateHighlighting(CAD::Element *element, bool on, bool checkValid);
    void updateHighlighting(CAD::Element *element, bool on, const Color &color, bool checkValid);

    std::vector<DistanceHandler> _distance_handlers;
    RendererContainer _renderer_container;
    std::unique_ptr<GLOverlay3d> _overlay3d;
    std::unique_ptr<Overlay2d> _overlay2d;
    CADRenderer *_current_renderer = nullptr;
    double _snapshot_scaling = 1.0;
    // The elements of the last collection, sorted by address once it is complete (searched
    // one by one while it runs). Of the elements a collection takes, only those the one before
    // did not take can lack their destroy notifier: the others need no look-up.
    std::vector<CAD::Element *> _registered_elements;
    bool _registered_sorted = true;
    DrawOrder _draw_order;
    std::size_t _draw_cursor = 0; // index into _draw_order
    CAD::Element *_current_element = nullptr;
    CAD::StageIdentifier _current_stage = CAD::StageIdentifier::UNINITIALIZED;
    double _gl_transformation[16];
    // The view's model-to-window transformation, taken once per render stage for the areas
    // the elements touch.
    Transformation _window_transformation;
    std::unordered_map<const CAD::Element *, DeregisterCADElement *> _deregister_objects;
    std::vector<BaVec3d<double>> _box_corners; // getBoundingBox's working memory
    bool _spotlight_enabled = false;
    double _spotlight_radius = 10.0;
    // The point-count hint every renderer gets, from the start of the repaint.
    unsigned _num_points = 1;
    std::vector<CAD::Element *> _coordinate_elements;
    GL::ViewCreator::ViewDirection_t _selected_coordinate_view = GL::ViewCreator::VD_NONE;
    double _axis_length = 5.0;
    std::map<const CAD::Element *, Color> _marked_elements;
    QString _specialized_context_menu_name;

    static bool _axis_drawing_enabled;
    static bool _axis_grid_drawing_enabled;
    static bool _write_view_direction;
    static CoordSystemMode_t _axis_drawing_mode;
    static double _axis_length_factor;
    static double _size_axis_notation;
    static Color _col_axis_notation;
    static int _max_snapshot_size;
};

} // namespace Vaq::GCAD
