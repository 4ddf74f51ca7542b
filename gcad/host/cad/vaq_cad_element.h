// Element: one object of the CAD model that a view can draw (a mesh, a point set, a primitive,
// a measurement ...). It is a node of the object tree, keeps its values per stage, and carries
// the state the views share: visibility, highlighting, selection, label and display properties.
// Kinds with data of their own derive from it and override the virtual queries.
#pragma once

#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/cad/vaq_cad_element_creator.h"
#include "gcad/host/cad/vaq_cad_label.h"
#include "gcad/host/cad/vaq_cad_properties.h"
#include "gcad/host/cad/vaq_cad_stage.h"
#include "gcad/host/cad/vaq_cad_tobject.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace Vaq::CAD {

using Vaq::TObject;
using Vaq::TObjectDestroyNotifier;

class DistPullOut;
class FindParameter;

// In which render stage an element is drawn.
enum RenderLevel_t : unsigned {
    RL_SCENE = 0, // render stage 1, with depth: the model itself
    RL_FOREGROUND = 1, // render stage 2, over the scene: markers, previews, labels
    RL_NEVER = 3, // not drawn
};

// What isVisible asks about.
enum VisibleRequest_t {
    VR_ELEMENT = 0, // the element's own visibility switch
    VR_HIERARCHY = 1, // the element and every element above it (isHirarchyVisible)
};

class Element : public TObject
{
public:
    explicit Element(ElementCreator::Element_t type, const QString &fileName = QString());
    ~Element() override;

    // Kind and name.
    virtual ElementCreator::Element_t getType() const { return m_type; }
    virtual QString getFileName() const { return m_file_name; }
    void setFileName(const QString &fileName) { m_file_name = fileName; }

    // Render levels; the additional level lets an element appear in a second stage too
    // (RL_NEVER: none, the default).
    virtual RenderLevel_t getRenderLevel() const { return m_render_level; }
    virtual RenderLevel_t getAdditionalRenderLevel() const { return m_additional_render_level; }
    void setRenderLevel(RenderLevel_t level) { m_render_level = level; }
    void setAdditionalRenderLevel(RenderLevel_t level) { m_additional_render_level = level; }

    // Stages. A new element is stage-independent: valid in every stage, with nothing stored.
    bool isStageValid(const StageIdentifier &stage) const;
    // Throws ProgError "stage is not initialized" for UNINITIALIZED.
    void setStageValid(const StageIdentifier &stage, bool valid);
    // The stages with values of their own (NO_STAGE for the stage-independent ones).
    std::vector<StageIdentifier> getStages() const { return m_stages.getStages(); }
    bool removeStage(const StageIdentifier &stage);
    const StageObject &getStageObject() const { return m_stages; }

    // The stored box of the given type, in element coordinates (CCS_ELEMENT) or transformed by
    // the stage's render transformation (CCS_WORLD). A missing BBT_DISPLAY box falls back to
    // the BBT_GEOMETRY box. False, with box unchanged, when the stage has none.
    virtual bool getBoundingBox(
        const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const;
    // Throws ProgError "stage is not initialized", "unknown bounding box type" or
    // "empty bounding box" (use clearBoundingBox instead).
    void setBoundingBox(const StageIdentifier &stage, BoundingBoxType_t type, const Box3d &box);
    void clearBoundingBox(const StageIdentifier &stage, BoundingBoxType_t type);
    // Widens box by what the element draws around its geometry at a given pixel size (model
    // units per pixel): half the symbol size on every side. False when box is empty or
    // the symbol size is not positive; box is unchanged then.
    virtual bool expandBoundingBoxForDrawing(
        const StageIdentifier &stage, double pixelSize, Box3d &box) const;

    // The transformation from element into view coordinates for the stage; transformation
    // may be null to ask only whether one exists.
    virtual bool getRenderTransformation(const StageIdentifier &stage, Transformation *transformation) const;
    bool existsRenderTransformation(const StageIdentifier &stage) const;
    void setRenderTransformation(const StageIdentifier &stage, const Transformation &transformation);
    void clearRenderTransformation(const StageIdentifier &stage);

    // The points the element has in the stage, and how many of them the view shows.
    virtual unsigned getNumberOfPoints(const StageIdentifier &) const { return 0; }
    virtual unsigned getNumberOfVisiblePoints(const StageIdentifier &stage) const;
    void setNumberOfVisiblePoints(const StageIdentifier &stage, unsigned count);

    // Whether the element is active in the stage (true for stages without values).
    bool getActiveStatus(const StageIdentifier &stage) const;
    void setActiveStatus(const StageIdentifier &stage, bool active);
    // Whether the stage lacks the measured data the element needs (false without values).
    bool hasMissingData(const StageIdentifier &stage) const;
    void setMissingData(const StageIdentifier &stage, bool missing);

    // Brings the stage's visualization up to date with the element's state. dataChanged and
    // flagsChanged tell kinds with render data what to rebuild.
    virtual void updateVisualization(const StageIdentifier &stage, bool dataChanged, bool flagsChanged);
    // True when a change (highlight, box, transformation ...) is not shown in the stage yet.
    bool isVisualizationOutdated(const StageIdentifier &stage) const;

    // Picking: whether the element shows within tolerancePixels of the view line of parameter in
    // stage; the hit nearest the viewer goes into parameter (see FindParameter), after its earlier
    // results are cleared. Kinds with geometry of their own override it; the plain element has
    // nothing to hit.
    virtual bool findElementAtPixel(
        const StageIdentifier &stage, FindParameter &parameter, double tolerancePixels) const;
    // The pull-out dimension of a measurement; null for kinds without one.
    virtual DistPullOut *getPullOut() { return nullptr; }

    // Visibility.
    bool isVisible(VisibleRequest_t request = VR_ELEMENT) const;
    void setVisible(bool visible) { m_visible = visible; }
    // True when the element and every Element above it in the tree are visible; other objects
    // in between do not count.
    bool isHirarchyVisible() const;

    // An element that exists only while a command runs (a preview).
    bool existsElementTemporarily() const { return m_temporary; }
    void setElementTemporarily(bool temporary) { m_temporary = temporary; }

    ElemProp *getElemProperties() { return &m_properties; }
    const ElemProp *getElemProperties() const { return &m_properties; }

    // Highlighting of the whole element.
    bool isElementHighlighted() const { return m_highlighted; }
    void highlightElement(bool on);
    const Color &getHighlightColor() const { return m_highlight_color; }
    void setHighlightColor(const Color &color);

    // Highlighting of single points (by index into the element's points).
    bool isHighligtOfPointsPossible() const { return m_point_highlight_possible; }
    void setHighlightOfPointsPossible(bool possible) { m_point_highlight_possible = possible; }
    // Throws ProgError "highlight of points not possible" or "negative point index"; nothing
    // changes then.
    void highlightPoint(const std::vector<int> &indices, const Color &color);
    // True when every index is highlighted, all in one colour; that colour goes to *color
    // (which may be null). False for an empty list.
    bool isPointHighlighted(const std::vector<int> &indices, Color *color) const;
    // The number of highlighted points.
    std::size_t getNumberOfHighlightedPoints() const { return m_highlighted_points.size(); }
    // Whether a highlighted point was cleared.
    bool clearHighlightPoint();
    bool clearHighlightPoint(const std::vector<int> &indices);

    bool isClippingAllowed() const { return m_clipping_allowed; }
    void setClippingAllowed(bool allowed) { m_clipping_allowed = allowed; }

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }

    // The label; null when the element has none.
    LabelElement *getLabel() const { return m_label.get(); }
    // Creates the label or replaces its text; returns it.
    LabelElement *setLabel(const QString &text);
    void removeLabel() { m_label.reset(); }

    // The label's share of the 2-D overlay, each a no-op or empty without a label.
    // A label is drawn when the element is visible in its hierarchy and valid in the stage
    // and the label has text and is shown, for good or for now.
    bool mustLabelBeRendered(const StageIdentifier &stage) const;
    void updateFigureElements(
        const StageIdentifier &stage, int viewHeight, const Transformation &view, double pixelSize);
    std::vector<Fig2::Element *> getFigureElements(const StageIdentifier &stage) const;
    bool getConnectorPoint(const StageIdentifier &stage, BaVec3d<double> *point) const;
    bool isAutoLabelPlacement() const { return m_label && m_label->isAutoLabelPlacement(); }

protected:
    // What a data element reports as its box: a stored box (getBoundingBox of the element)
    // wins; otherwise dataBox, the box of its own data, transformed as getBoundingBox says.
    // False when neither exists or the stage is not valid.
    bool getStoredOrDataBox(const Box3d &dataBox, const StageIdentifier &stage, BoundingBoxType_t type,
        ContextCS_t context, Box3d &box) const;

private:
    ElementCreator::Element_t m_type;
    QString m_file_name;
    RenderLevel_t m_render_level = RL_SCENE;
    RenderLevel_t m_additional_render_level = RL_NEVER;
    StageObject m_stages;
    ElemProp m_properties;
    bool m_visible = true;
    bool m_temporary = false;
    bool m_selected = false;
    bool m_clipping_allowed = true;
    bool m_highlighted = false;
    Color m_highlight_color { 255, 0, 0 };
    bool m_point_highlight_possible = false;
    std::map<int, Color> m_highlighted_points;
    std::unique_ptr<LabelElement> m_label;
};

// An element together with the stage in which it is drawn.
struct ElementAndStageImp
{
    ElementAndStageImp() = default;
    ElementAndStageImp(Element *element_, const StageIdentifier &stage_)
        : element(element_)
        , stage(stage_)
    {
    }

    Element *getElement() const { return element; }
    const StageIdentifier &getStage() const { return stage; }

    bool operator==(const ElementAndStageImp &o) const { return element == o.element && stage == o.stage; }

    Element *element = nullptr;
    StageIdentifier stage = StageIdentifier::UNINITIALIZED;
};

} // namespace Vaq::CAD
