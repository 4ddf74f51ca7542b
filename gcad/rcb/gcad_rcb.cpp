#include "gcad/rcb/gcad_rcb.h"

#include "gcad/clipping/gcad_clipping_interface.h"
#include "gcad/host/base/vaq_cheby.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gapp/vaq_gapp_view_widget_container.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/mesh/gcad_buffer_name_pool.h"
#include "gcad/mesh/gcad_framerate_adjust.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "gcad/overlay/gcad_r_overlay2d.h"
#include "gcad/overlay/gcad_r_overlay3d.h"
#include "gcad/rcb/gcad_rcb_deregister.h"
#include "gcad/renderers/gcad_r_gps.h"
#include "gcad/renderers/gcad_r_measure.h"
#include "gcad/renderers/gcad_r_mesh.h"
#include "gcad/renderers/gcad_r_other.h"
#include "gcad/renderers/gcad_r_pmp.h"
#include "gcad/renderers/gcad_r_points.h"
#include "gcad/renderers/gcad_r_primitive.h"
#include "gcad/renderers/gcad_r_section.h"
#include "gcad/renderers/gcad_r_strain.h"
#include "gcad/renderers/gcad_renderer.h"

#include <algorithm>

namespace Vaq::GCAD {

using CAD::ElementClassification;
using CAD::ElementCreator;

namespace {

// Sort key of temporary elements (previews): drawn after everything else.
constexpr int TEMPORARY_SORT_KEY = 100;
// The display mode in which point sets are drawn as markers.
constexpr int DISPLAY_MODE_MARKERS = 1;

constexpr double IDENTITY[16] = { 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1 };

bool isNeverDrawn(ElementCreator::Element_t type)
{
    switch (type) {
    case ElementCreator::GROUP:
    case ElementCreator::FOLDER:
    case ElementCreator::ALIGNMENT:
    case ElementCreator::STAGE_SET:
    case ElementCreator::REPORT_VIEW:
        return true;
    default:
        return false;
    }
}

ElementClassification classify(const CAD::Element *element)
{
    ElementClassification classification;
    ElementCreator::getElementClassification(element, &classification);
    return classification;
}

void traceActiveCommand(const char *function, const char *format)
{
    if (const GApp::Command *command = GApp::MainWindow::getInstance()->getActiveCommand())
        VAQ_TRACE(function, QString::fromLatin1(format).arg(command->getMenuName(), command->getName()));
}

} // namespace

RenderCallback::RenderCallback(QObject *parent)
    : GL::RenderCallback(parent)
{
    std::copy(std::begin(IDENTITY), std::end(IDENTITY), _gl_transformation);
    // The nine renderers of the element kinds, then the overlays.
    _renderer_container.registerRenderer(new GpsRenderer(this));
    _renderer_container.registerRenderer(new MeasureRenderer(this));
    _renderer_container.registerRenderer(new MeshRenderer(this));
    _renderer_container.registerRenderer(new OtherRenderer(this));
    _renderer_container.registerRenderer(new PmpRenderer(this));
    _renderer_container.registerRenderer(new PointsRenderer(this));
    _renderer_container.registerRenderer(new PrimitiveRenderer(this));
    _renderer_container.registerRenderer(new SectionRenderer(this));
    _renderer_container.registerRenderer(new StrainRenderer(this));
    _overlay3d = std::make_unique<GLOverlay3d>(this);
    _overlay2d = std::make_unique<Overlay2d>(this);
}

RenderCallback::~RenderCallback()
{
    if (FramerateAdjust *adjust = FramerateAdjust::getInstance())
        adjust->forgetView(this);
    _renderer_container.freeAll();
    _overlay3d.reset();
    _overlay2d.reset();
    deleteCoordinateElements();
    for (const auto &[element, notifier] : _deregister_objects)
        delete notifier;
}

// ---- collection -------------------------------------------------------------------------

void RenderCallback::initAllElementsForDrawing()
{
    std::vector<CAD::Element *> before;
    before.swap(_registered_elements);
    _registered_sorted = false;
    _draw_order.clear();
    _draw_cursor = 0;

    for (const CAD::ElementAndStageImp &entry : getElementsForDrawing()) {
        if (entry.element)
            collectElement(entry.element, entry.stage);
    }
    std::stable_sort(_draw_order.begin(), _draw_order.end(),
        [](const auto &a, const auto &b) { return a.first < b.first; });

    std::sort(_registered_elements.begin(), _registered_elements.end());
    _registered_elements.erase(
        std::unique(_registered_elements.begin(), _registered_elements.end()), _registered_elements.end());
    _registered_sorted = true;
    // Both lists are sorted: one walk finds the elements the last collection did not take.
    auto known = before.cbegin();
    for (CAD::Element *element : _registered_elements) {
        while (known != before.cend() && *known < element)
            ++known;
        if (known == before.cend() || *known != element)
            createDeregisterObject(element);
    }
}

// Depth first, the node before its children, children in list order; objects in the tree
// that are not elements are passed through.
void RenderCallback::collectElement(TObject *object, const CAD::StageIdentifier &stage)
{
    if (auto *element = dynamic_cast<CAD::Element *>(object))
        registerElement(element, stage);
    for (TObject *child : object->getChildren())
        collectElement(child, stage);
}

void RenderCallback::registerElement(CAD::Element *e, const CAD::StageIdentifier &stage)
{
    if (e->getRenderLevel() == CAD::RL_NEVER)
        return;
    if (e->getRenderLevel() == CAD::RL_FOREGROUND) {
        // The foreground is drawn without the scene's depth order and buffers; data sets
        // there would be drawn wrongly. Reference points (73) are the one point set allowed.
        const ElementClassification classification = classify(e);
        if (classification[ElementClassification::MESH_DATASET]
            || classification[ElementClassification::SECTION_DATASET]
            || (classification[ElementClassification::POINTS_DATASET]
                && e->getType() != ElementCreator::REFERENCE_POINTS))
            VAQ_PROG_ERROR("Vaq::GCAD::RenderCallback::initAllElementsForDrawing",
                "dataset must not be rendered in stage1");
    }
    // Meshes bring their delayed visualization up to date; what is still outdated after
    // that was changed without asking for an update, and is drawn as it is.
    if (auto *mesh = dynamic_cast<CAD::PolyBase *>(e)) {
        mesh->executeDelayedUpdateVisualization();
        const CAD::PolyBaseData *data = mesh->getData(stage);
        if (data
            && (data->renderFlagsModified || data->renderDataModified || data->renderVisualizationModified)) {
            traceActiveCommand(
                "Vaq::GCAD::RenderCallback::initAllElementsForDrawing", "Active command: %1 (%2)");
            VAQ_TRACE("Vaq::GCAD::RenderCallback::initAllElementsForDrawing",
                QStringLiteral("update visualization missing"));
        }
    }
    if (!isElementVisible(e))
        return;
    _registered_elements.push_back(e);
    _draw_order.emplace_back(getSortKeyForElement(e), CAD::ElementAndStageImp(e, stage));
}

int RenderCallback::getSortKeyForElement(const CAD::Element *element) const
{
    if (element->existsElementTemporarily())
        return TEMPORARY_SORT_KEY;
    const ElementCreator::Element_t t = element->getType();
    const bool markers = element->getElemProperties()->displayMode == DISPLAY_MODE_MARKERS;
    const ElementClassification c = classify(element);
    if ((t == ElementCreator::POINTS_SCAN || t == ElementCreator::POINTS_PROBED) && markers)
        return 4;
    if (c[ElementClassification::GEOMETRIC_PRIMITIVE] || t == ElementCreator::CUTTING_EDGE)
        return 7;
    if ((t == ElementCreator::POINT_CLOUD || t == ElementCreator::REFERENCE_POINTS) && markers)
        return 3;
    if ((t == ElementCreator::POINTS_DEVIATION || t == ElementCreator::POINTS_DISPLACEMENT) && markers)
        return 4;
    if (c[ElementClassification::MESH_DATASET] && t != ElementCreator::MESH)
        return 1;
    switch (t) {
    case ElementCreator::SECTION_DEVIATION:
    case ElementCreator::POINTS_DEVIATION:
    case ElementCreator::POINTS_DISPLACEMENT:
    case ElementCreator::SECTION_VECTORS:
    case ElementCreator::POINTS_SPRINGBACK:
        return 1;
    default:
        break;
    }
    if (c[ElementClassification::PMP_REFERENCE_POINT])
        return 6;
    if (c[ElementClassification::MEASUREMENT])
        return 5;
    if (t == ElementCreator::SECTION_INSPECTION_2D)
        return 3;
    return 2;
}

void RenderCallback::sortElementsForSelection(std::vector<CAD::Element *> &elements)
{
    auto group = [](const CAD::Element *element) {
        const ElementCreator::Element_t t = element->getType();
        const ElementClassification c = classify(element);
        if (c[ElementClassification::GEOMETRIC_PRIMITIVE] || t == ElementCreator::CUTTING_EDGE)
            return 7;
        if (t == ElementCreator::POINT_CLOUD || t == ElementCreator::REFERENCE_POINTS)
            return 4;
        if (t == ElementCreator::POINTS_DEVIATION || t == ElementCreator::POINTS_SPRINGBACK
            || t == ElementCreator::POINTS_DISPLACEMENT)
            return 3;
        if ((c[ElementClassification::MESH_DATASET] && t != ElementCreator::MESH)
            || t == ElementCreator::SECTION_DEVIATION || t == ElementCreator::SECTION_VECTORS
            || t == ElementCreator::SECTION_INSPECTION_2D)
            return 1;
        if (c[ElementClassification::PMP_REFERENCE_POINT])
            return 6;
        if (c[ElementClassification::MEASUREMENT])
            return 5;
        return 2;
    };
    std::stable_sort(elements.begin(), elements.end(),
        [&](const CAD::Element *a, const CAD::Element *b) { return group(a) < group(b); });
}

// ---- render stages ----------------------------------------------------------------------

void RenderCallback::preDraw()
{
    // A stage left unfinished (a new repaint came first) is closed before anything else.
    if (_current_renderer) {
        _current_renderer->finish();
        _current_renderer = nullptr;
    }

    switch (getRenderStage()) {
    case GL::RenderObject::RS_SETUP:
        initRenderObject();
        // Dropped nodes go now that the context is current; the GPU memory goes to the
        // elements some view shows, unless this repaint keeps everything for the next one.
        if (GLNodeContainer *nodes = GLNodeContainer::getInstance()) {
            nodes->deletePendingNodes();
            if (!getUpdateOptions().keepGpuData)
                nodes->saveInvisibleNodes();
        }
        break;
    case GL::RenderObject::RS_LEVEL0:
        if (FramerateAdjust *adjust = FramerateAdjust::getInstance()) {
            if (getRenderObject() && getRenderObject()->isFramerateAdjustAllowed())
                adjust->plan(this);
            else
                adjust->dropPlans(this); // a snapshot must not use the plan of a moving view
        }
        break;
    case GL::RenderObject::RS_LEVEL1:
        _distance_handlers.clear();
        drawSpotlight();
        // Without axes nothing of the coordinate system can be under the mouse.
        if (!isCoordinateAxisDrawingEnabled())
            deleteCoordinateElements();
        drawOverlay3d(true);
        break;
    default:
        break;
    }

    _draw_cursor = 0;
    if (const GL::RenderObject *view = getRenderObject())
        _window_transformation = view->get3d2dTransformation();
    getNextElement();
}

bool RenderCallback::draw()
{
    switch (getRenderStage()) {
    case GL::RenderObject::RS_SETUP:
    case GL::RenderObject::RS_FINISH:
        return true;
    case GL::RenderObject::RS_OVERLAY3D:
        if (!getUpdateOptions().snapshotRendering)
            drawOverlay3d(false);
        return true;
    case GL::RenderObject::RS_OVERLAY2D:
        return _overlay2d->draw();
    default:
        return drawElementStep();
    }
}

void RenderCallback::postDraw()
{
    // A snapshot has no overlay stage of its own for the 3-D overlay: it joins the scene.
    if (getRenderStage() == GL::RenderObject::RS_LEVEL1 && getUpdateOptions().snapshotRendering)
        drawOverlay3d(false);
    // The frame-rate adjustment learns how long the frame took.
    FramerateAdjust *adjust = FramerateAdjust::getInstance();
    if (adjust && getRenderStage() == GL::RenderObject::RS_FINISH)
        adjust->frameDrawn(this);
}

void RenderCallback::initRenderObject()
{
    GL::RenderObject *view = getRenderObject();
    _num_points = std::max(1u, getNumberOfPointsForDrawing());
    const CAD::Properties::Global *global = getGlobalProperties();
    if (!view || !global)
        return;
    if (GL::ViewCreator *creator = view->getCreator())
        creator->setBackgroundColor(global->getBackgroundColor());
    view->setBackgroundColor(global->getBackgroundColor());
}

bool RenderCallback::getNextElement()
{
    if (GApp::MainWindow::getInstance()->isRepaintSignalNeeded()) {
        traceActiveCommand(
            "Vaq::GCAD::RenderCallback::getNextElement", "Wrong signal handling in command: %1 (%2)");
        VAQ_TRACE("Vaq::GCAD::RenderCallback::getNextElement", QStringLiteral("wrong signal handling"));
    }

    const CAD::RenderLevel_t wanted
        = getRenderStage() == GL::RenderObject::RS_LEVEL0 ? CAD::RL_SCENE : CAD::RL_FOREGROUND;
    while (_draw_cursor < _draw_order.size()) {
        const CAD::Element *e = _draw_order[_draw_cursor].second.element;
        if (e->getRenderLevel() == wanted || e->getAdditionalRenderLevel() == wanted)
            break;
        ++_draw_cursor;
    }

    GL::StencilHandlerBase *stencil = getRenderObject() ? getRenderObject()->getStencilHandler() : nullptr;
    if (_draw_cursor == _draw_order.size()) {
        _current_element = nullptr;
        _current_stage = CAD::StageIdentifier::UNINITIALIZED;
        // The cycle itself draws nothing more until the next element; the 3-D overlay says
        // where it draws (drawOverlay3d). An area of the whole view here would have the next
        // round's stencil read back in the whole view.
        if (stencil)
            stencil->setElement(nullptr, QRect());
        return false;
    }
    _current_element = _draw_order[_draw_cursor].second.element;
    _current_stage = _draw_order[_draw_cursor].second.stage;
    ++_draw_cursor;
    if (stencil)
        stencil->setElement(_current_element, getTouchedArea(_current_element, _current_stage));
    return true;
}

bool RenderCallback::drawElementStep()
{
    if (!_current_element)
        return true;

    if (!_current_renderer || _current_renderer->getCurrentElement() != _current_element) {
        _current_renderer = getRenderer(_current_element->getType());
        if (!_current_renderer || !_current_element->isStageValid(_current_stage)) {
            _current_renderer = nullptr;
            getNextElement();
            return false;
        }

        // An element shared by several views shows the marking of the view being drawn.
        Color marked;
        const bool isMarked = isElementMarked(_current_element, &marked);
        if (isMarked != _current_element->isElementHighlighted()) {
            if (isMarked)
                updateHighlighting(_current_element, true, marked, false);
            else
                updateHighlighting(_current_element, false, false);
            _current_element->updateVisualization(_current_stage, false, false);
        }

        // Interactive and benchmark repaints draw what the frame-rate plan says; an element
        // without a plan is drawn completely.
        std::vector<unsigned> renderTypes;
        unsigned stepping = 1;
        const GL::UpdateOptions &options = getUpdateOptions();
        if (options.interactiveUpdate || options.keepGpuData) {
            if (const FramerateAdjust *adjust = FramerateAdjust::getInstance())
                adjust->getPlan(this, _current_element, &renderTypes, &stepping);
        }
        _current_renderer->setNumPoints(_num_points);
        _current_renderer->setup(
            CAD::ElementAndStageImp(_current_element, _current_stage), renderTypes, stepping);

        Transformation transformation;
        if (_current_element->getRenderTransformation(_current_stage, &transformation))
            transformation.getGLTransformation(_gl_transformation);
        else
            std::copy(std::begin(IDENTITY), std::end(IDENTITY), _gl_transformation);
    }

    ::glMatrixMode(GL_MODELVIEW);
    ::glPushMatrix();
    struct PopMatrix
    {
        ~PopMatrix()
        {
            ::glMatrixMode(GL_MODELVIEW);
            ::glPopMatrix();
        }
    } popMatrix;
    ::glMultMatrixd(_gl_transformation);
    if (!_current_renderer->draw())
        return false;

    if (!getUpdateOptions().interactiveUpdate)
        _renderer_container.updateStatistics();
    _current_renderer->finish();
    _current_renderer = nullptr;
    return !getNextElement();
}

void RenderCallback::drawOverlay3d(bool pass)
{
    // The overlay draws with no element: what it draws hides the elements beneath from picking.
    // Its highlight blends over the picture with the stencil test off and so names nothing.
    const std::vector<unsigned> items = _overlay3d->getItems(pass);
    const bool writesStencil = std::any_of(
        items.begin(), items.end(), [](unsigned item) { return item != GLOverlay3d::ITEM_HIGHLIGHT; });
    if (GL::RenderObject *view = getRenderObject(); view && writesStencil)
        view->getStencilHandler()->setElement(nullptr);
    _overlay3d->draw(pass);
}

CADRenderer *RenderCallback::getRenderer(ElementCreator::Element_t type) const
{
    CADRenderer *renderer = _renderer_container.getRenderer(type);
    if (isNeverDrawn(type)) {
        if (renderer)
            VAQ_PROG_ERROR("Vaq::GCAD::RenderCallback::getRenderer",
                "renderer exists for element that will not be drawn");
        return nullptr;
    }
    if (!renderer)
        VAQ_PROG_ERROR("Vaq::GCAD::RenderCallback::getRenderer",
            QStringLiteral("No renderer for type %1 (%2)")
                .arg(int(type))
                .arg(_current_element ? _current_element->getFileName() : QString()));
    return renderer;
}

// ---- queries ----------------------------------------------------------------------------

bool RenderCallback::isElementValid(const CAD::Element *element) const
{
    const auto begin = _registered_elements.begin(), end = _registered_elements.end();
    return _registered_sorted ? std::binary_search(begin, end, element)
                              : std::find(begin, end, element) != end;
}

bool RenderCallback::isElementVisible(const CAD::Element *element) const
{
    return element->isHirarchyVisible();
}

bool RenderCallback::isElementShownInOpenViews(const CAD::Element *element, const RenderCallback *except)
{
    // Validity first: an element a view did not collect is not looked at.
    for (const GL::RenderObject *view : GApp::ViewWidgetContainer::getViews()) {
        const auto *callback = dynamic_cast<const RenderCallback *>(view->getRenderCallback());
        if (callback && callback != except && callback->getRenderObject() && callback->isElementValid(element)
            && callback->isElementVisible(element))
            return true;
    }
    return false;
}

const CAD::DefaultProperties *RenderCallback::getDefaultProperties() const
{
    return &CAD::DefaultProperties::_default;
}

void RenderCallback::addDistanceHandler(
    const BaVec3d<double> &position, CAD::Element *element, CAD::DistPullOut *pullOut)
{
    _distance_handlers.push_back({ position, element, pullOut });
}

// ---- scene box --------------------------------------------------------------------------

bool RenderCallback::getBoundingBox(BaVec3d<double> *min, BaVec3d<double> *max)
{
    // Null entries are skipped here as they are when the elements are collected.
    std::vector<CAD::ElementAndStageImp> elements = getElementsForDrawing();
    std::erase_if(elements, [](const CAD::ElementAndStageImp &entry) { return !entry.element; });
    if (elements.empty())
        return false;
    std::vector<Box3d> boxes;
    ClippingInterface::getBoundingBoxes(elements, &boxes, CAD::BBT_DISPLAY);
    if (boxes.empty())
        return false;

    // The corners of a large scene take megabytes: kept from one repaint to the next, they
    // do not cost fresh pages each time.
    _box_corners.clear();
    _box_corners.reserve(boxes.size() * 8);
    for (const Box3d &box : boxes) {
        for (const BaVec3d<double> &corner : box.getCorners())
            _box_corners.push_back(corner);
    }
    BaVec3d<double> centre;
    double radius = 0.0;
    Cheby::computeOuterSphereRough(_box_corners, &centre, &radius);
    *min = centre - BaVec3d<double>(radius, radius, radius);
    *max = centre + BaVec3d<double>(radius, radius, radius);
    addPreviewBoundingBox(min, max);
    return true;
}

// ---- spotlight --------------------------------------------------------------------------

void RenderCallback::drawSpotlight()
{
    GL::RenderObject *view = getRenderObject();
    if (!_spotlight_enabled || !view)
        return;
    // Discs are drawn by the renderer of disc elements.
    CADRenderer *renderer = _renderer_container.getRenderer(ElementCreator::DISC);
    if (!renderer)
        VAQ_PROG_ERROR("Vaq::GCAD::RenderCallback::drawSpotlight", "no renderer found");
    // The middle of the view in depth too: a disc on the near plane (depth 0) loses wedges of
    // its fan to clipping.
    const BaVec3d<double> centre
        = view->getInverse3d2dTransformation().transform({ view->width() / 2.0, view->height() / 2.0, 0.5 });
    Color color = getDefaultProperties()->spotlightColor;
    color.a = 60;
    renderer->drawSpotlight(centre, view->getViewDirection(), _spotlight_radius, color);
}

// ---- render data of elements --------------------------------------------------------------

void RenderCallback::createDeregisterObject(CAD::Element *element)
{
    if (_deregister_objects.count(element) == 0)
        new DeregisterCADElement(this, element); // enters itself into _deregister_objects
}

void RenderCallback::deregisterMarkedElement(CAD::Element *element)
{
    _renderer_container.removeElement(element);
    clearElementFromRenderedElements(element);
    _marked_elements.erase(element);
    _overlay3d->forgetElement(element);
}

void RenderCallback::clearElementFromRenderedElements(CAD::Element *element)
{
    const auto notifier = _deregister_objects.find(element);
    if (notifier != _deregister_objects.end()) {
        delete notifier->second;
        _deregister_objects.erase(notifier);
    }
    std::erase(_registered_elements, element);

    // An element may die between two draw steps (events run between them): the repaint
    // goes on without it.
    if (_current_renderer && _current_renderer->getCurrentElement() == element) {
        _current_renderer->finish();
        _current_renderer = nullptr;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < _draw_order.size(); ++i) {
        if (_draw_order[i].second.element == element) {
            if (i < _draw_cursor)
                --_draw_cursor;
            continue;
        }
        _draw_order[kept++] = _draw_order[i];
    }
    _draw_order.resize(kept);
    if (_current_element == element)
        getNextElement();
}

void RenderCallback::freeInvisibleElementRenderData()
{
    if (GLNodeContainer *nodes = GLNodeContainer::getInstance())
        nodes->deleteInvisibleNodes();
}

void RenderCallback::resetAllRenderData()
{
    if (GLNodeContainer *nodes = GLNodeContainer::getInstance())
        nodes->saveAllNodes();
}

void RenderCallback::widgetAboutToBeDestroyed()
{
    // Released buffers return their names to the pool, so the pool is emptied last.
    _renderer_container.removeAllElements();
    BufferNamePool::deleteAll();
}

} // namespace Vaq::GCAD
