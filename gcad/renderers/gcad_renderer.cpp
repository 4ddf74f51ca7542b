#include "gcad/renderers/gcad_renderer.h"

#include "gcad/clipping/gcad_clipping_interface.h"
#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_mesh_colouring.h"

#include <algorithm>
#include <cstdlib>

namespace Vaq::GCAD {

bool CADRenderer::_draw_bounding_boxes = false;

namespace {

// Sizes of one step: a moving view thins large sets to about this many items...
constexpr unsigned INTERACTIVE_ITEMS = 300000;
// ...and a still one draws them in slices of this many.
constexpr unsigned ITEMS_PER_STEP = 100000;

const Color GREY(191, 191, 191);

// Clips one drawing step at the view's clipping plane when the view clips and the element
// allows it. The view's own plane and use flag come back afterwards: a flag left on would
// clip every later element, and every later repaint from its start.
class ClipScope
{
public:
    ClipScope(RenderCallback *callback, const CAD::Element *element)
    {
        const ClippingInterface *clipping = callback->getClippingInterface();
        GL::RenderObject *view = callback->getRenderObject();
        Plane3d plane;
        if (!clipping || !view || !element || !element->isClippingAllowed() || !clipping->isClippingActive()
            || !clipping->getClippingPlane(&plane))
            return;
        m_view = view;
        m_used = view->isClippingPlaneUsed();
        m_plane = view->getClippingPlane();
        // While the view repaints, these load the plane and switch clipping on.
        view->setClippingPlane(plane);
        view->setUseClippingPlane(true);
    }
    ~ClipScope()
    {
        if (!m_view)
            return;
        // The view's own plane first, then its flag, which switches clipping off when clear.
        m_view->setClippingPlane(m_plane);
        m_view->setUseClippingPlane(m_used);
    }
    ClipScope(const ClipScope &) = delete;
    ClipScope &operator=(const ClipScope &) = delete;

private:
    GL::RenderObject *m_view = nullptr;
    bool m_used = false;
    Plane3d m_plane;
};

} // namespace

CADRenderer::CADRenderer(RenderCallback *callback)
    : m_render_callback(callback)
{
    static const bool drawBoxes = std::getenv("VAQ_GL_BOUNDING_BOX") != nullptr;
    _draw_bounding_boxes = drawBoxes;
}

CADRenderer::~CADRenderer() = default;

std::vector<unsigned> CADRenderer::setup(
    const CAD::ElementAndStageImp &entry, const std::vector<unsigned> &renderTypes, unsigned stepping)
{
    m_current_element = entry.element;
    m_stage = entry.stage;
    m_element_properties = m_current_element ? m_current_element->getElemProperties() : nullptr;
    m_started = false;
    m_ended = false;

    m_snapshot_scaling = m_render_callback->getSnapshotScaling();
    setupInternal();

    // In render stage 2 the foreground is drawn completely, whatever the frame-rate plan says.
    if (!renderTypes.empty() && m_render_callback->getRenderStage() != GL::RenderObject::RS_LEVEL1) {
        m_render_types = renderTypes;
        m_stepping = stepping;
        m_render_types_given = true;
    } else {
        m_render_types = getRenderTypes();
        m_stepping = 1;
        m_render_types_given = false;
    }
    m_render_type_index = 0;

    Box3d box;
    if (_draw_bounding_boxes && m_current_element
        && m_current_element->getBoundingBox(m_stage, CAD::BBT_GEOMETRY, CAD::CCS_WORLD, box))
        drawBoundingBox(box);
    return m_render_types;
}

bool CADRenderer::draw()
{
    if (m_render_type_index >= m_render_types.size())
        return true;

    const unsigned renderType = m_render_types[m_render_type_index];
    if (!m_started) {
        initDefaults();
        preDrawInternal(renderType, 3);
        m_started = true;
    }

    bool finished = false;
    {
        const ClipScope clip(m_render_callback, m_current_element);
        finished = drawInternal();
    }
    if (!finished)
        return false;

    postDrawInternal(3);
    if (!checkDefaults()) {
        VAQ_TRACE("Vaq::GCAD::CADRenderer::draw",
            QStringLiteral("GL-Default error on element: %1 (render type: %2)")
                .arg(m_current_element ? m_current_element->getFileName() : QString())
                .arg(int(renderType)));
    }
    m_ended = true;
    if (m_render_type_index + 1 < m_render_types.size()) {
        ++m_render_type_index;
        m_started = false;
        m_ended = false;
        return false;
    }
    return true;
}

void CADRenderer::finish()
{
    if (!m_ended) {
        // A render type that was never begun has nothing to undo.
        if (m_started)
            postDrawInternal(3);
        m_ended = true;
    }
    m_current_element = nullptr;
    m_stage = CAD::StageIdentifier::NO_STAGE;
}

double CADRenderer::estimateRenderTime(const std::vector<unsigned> &, unsigned) const
{
    return 0.0;
}

bool CADRenderer::reduceRenderTime(std::vector<unsigned> *, unsigned *) const
{
    return false;
}

void CADRenderer::drawSpotlight(const BaVec3d<double> &, const BaVec3d<double> &, double, const Color &) { }

void CADRenderer::drawBoundingBox(const Box3d &) { }

Color CADRenderer::initMaterial(CAD::Element *element, bool useSelectionColors, bool twoSided, bool swapSides)
{
    using Flag = CAD::ElementClassification;
    CAD::ElementClassification classification;
    CAD::ElementCreator::getElementClassification(element, &classification);
    const CAD::ElemProp &properties = *element->getElemProperties();
    const CAD::DefaultProperties *defaults = m_render_callback->getDefaultProperties();
    const CAD::ElementCreator::Element_t type = element->getType();

    Color front(240, 210, 0);
    Color back = front;
    bool specular = true;
    if (useSelectionColors) {
        if (element->existsElementTemporarily() && type == CAD::ElementCreator::MESH) {
            front = back = properties.temporaryColor;
        } else if (defaults) {
            front = defaults->highlightColor;
            back = defaults->highlightBackColor;
        }
    } else if (classification[Flag::ACTIVE_STATUS] && !element->getActiveStatus(m_stage) && defaults) {
        front = back = defaults->inactiveColor;
    } else if (classification[Flag::MESH_DATASET]) {
        // Grey tells a mesh that should show colours but has none from a coloured one.
        front = hasUsableColourData(*element, m_stage) ? properties.meshFrontColor : GREY;
        back = properties.meshBackColor;
    } else if (classification[Flag::GEOMETRIC_PRIMITIVE] || type == CAD::ElementCreator::LABEL_MARKER) {
        front = type == CAD::ElementCreator::POINT ? properties.pointColor : properties.color;
        if (element->hasMissingData(m_stage) && defaults)
            front = defaults->missingDataColor;
        back = front;
    } else if (type == CAD::ElementCreator::REFERENCE_POINTS || classification[Flag::POINTS_DATASET]
        || classification[Flag::SECTION_DATASET]) {
        front = back = properties.datasetColor;
    } else if (type == CAD::ElementCreator::STRAIN_GRID) {
        front = properties.meshFrontColor;
        back = properties.meshBackColor;
        if (properties.uncolored) {
            front = GREY;
            specular = false;
        }
    } else {
        front = back = properties.color;
    }

    // A mesh whose boundary is drawn shows its marking there and keeps its own colours.
    const bool outlined = classification[Flag::MESH_DATASET] && properties.showBoundary;
    Color marked;
    if (!useSelectionColors && !outlined && m_render_callback->isElementMarked(element, &marked))
        front = back = marked;
    if (swapSides)
        std::swap(front, back);
    front.a = uint8_t((1.0 - properties.transparency) * 255.0);

    m_two_sided = twoSided;
    m_specular = specular;
    m_front_color = front;
    m_back_color = back;
    applyMaterial(1);
    return front;
}

void CADRenderer::calculateStepping(unsigned total, unsigned start, unsigned *stepping, unsigned *end) const
{
    *stepping = 1;
    *end = total;
    const bool interactive = m_render_callback->getUpdateOptions().interactiveUpdate;
    // 2-D inspection sections are never thinned.
    if (interactive
        && !(m_current_element && m_current_element->getType() == CAD::ElementCreator::SECTION_INSPECTION_2D))
        *stepping = total / INTERACTIVE_ITEMS + 1;
    else
        *end = std::min(start + ITEMS_PER_STEP, total);
}

double CADRenderer::calculateDrawSize(bool snapshotSquared, double size) const
{
    double drawSize = m_render_callback->getPixelSize() * size;
    if (snapshotSquared)
        drawSize *= m_snapshot_scaling * m_snapshot_scaling;
    return drawSize;
}

} // namespace Vaq::GCAD
