#include "gcad/renderers/gcad_r_mesh.h"

#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/clipping/gcad_clipping_interface.h"
#include "gcad/host/base/vaq_os.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_mesh_cylinder_fit.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "gcad/host/cad/vaq_cad_poly_boundary.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_graphic_card_db.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_texture.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/mesh/gcad_color_map_texture.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "gcad/mesh/gcad_optimize_node_thread.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_mesh_colouring.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace Vaq::GCAD {

using CAD::ElementClassification;
using CAD::ElementCreator;

namespace {

// How far, in view pixels, a leaf's wide lines and points may reach beyond its box.
constexpr double CULLING_REACH_PIXELS = 16.0;

// The points types a plan falls back to, keeping the element's colouring.
constexpr unsigned POINTS_PLAIN = RT_POINTS;
constexpr unsigned POINTS_COLORED = RT_POINTS | RT_VERTEX_COLORS;
constexpr unsigned POINTS_COLOR_MAP = RT_POINTS | RT_COLOR_MAP;

GLNode *nodeOf(const CAD::BspNode *leaf)
{
    return static_cast<GLNode *>(leaf->getNodeRenderData());
}

bool isMesh(const CAD::Element *element)
{
    CAD::ElementClassification classification;
    ElementCreator::getElementClassification(element, &classification);
    return classification[ElementClassification::MESH_DATASET];
}

// Removes bit from the first type that has it; a type left empty leaves the list.
bool removeBit(std::vector<unsigned> *types, unsigned bit)
{
    for (auto it = types->begin(); it != types->end(); ++it) {
        if (*it & bit) {
            *it &= ~bit;
            if (*it == 0)
                types->erase(it);
            return true;
        }
    }
    return false;
}

} // namespace

MeshRenderer::MeshRenderer(RenderCallback *callback)
    : CADGLRenderer(callback)
{
    m_supported_types = { ElementCreator::MESH, ElementCreator::MESH_INSPECTION, ElementCreator::MESH_PREVIEW,
        ElementCreator::MESH_COLOR_MAPPED, ElementCreator::MESH_CLOSED, ElementCreator::MESH_SCAN,
        ElementCreator::MESH_NOMINAL, ElementCreator::MESH_CYLINDER_FIT, ElementCreator::MESH_REFERENCE,
        ElementCreator::MESH_CAD };
}

// The nodes stay: they belong to the node container, and other views may draw them. What
// only this view drew leaves in removeAllElements, while the context is still current.
MeshRenderer::~MeshRenderer()
{
    if (m_queries_allocated && GL::glDeleteQueriesARB)
        GL::glDeleteQueriesARB(QUERY_BATCH, m_query_ids.data());
}

CAD::PolyBase *MeshRenderer::mesh(const char *function) const
{
    if (!m_current_element || !isMesh(m_current_element))
        VAQ_PROG_ERROR(function, "wrong element type");
    return static_cast<CAD::PolyBase *>(m_current_element);
}

// ---- render types -------------------------------------------------------------------------

std::vector<unsigned> MeshRenderer::getRenderTypes() const
{
    const CAD::PolyBase *poly = mesh("Vaq::GCAD::MeshRenderer::getRenderTypes");
    // Over the scene a mesh shows only the cylinder fitted into it, if it has one.
    if (m_render_callback->getRenderStage() == GL::RenderObject::RS_LEVEL1) {
        const auto *fit = dynamic_cast<const CAD::MeshCylinderFit *>(poly);
        Cylinder3d cylinder;
        return fit && fit->getCylinder(&cylinder) ? std::vector<unsigned> { RT_CYLINDER }
                                                  : std::vector<unsigned>();
    }

    const CAD::ElemProp &properties = *poly->getElemProperties();
    unsigned surface = 0;
    if (m_vertex_colours_available)
        surface |= RT_VERTEX_COLORS;
    if (m_color_map_available)
        surface |= RT_COLOR_MAP;
    if (properties.showPoints)
        surface |= RT_POINTS;
    if (properties.showTriangles) {
        surface |= RT_TRIANGLES;
        if (properties.showMaterialSide)
            surface |= poly->isOffsetMeshValid() ? RT_MATERIAL_OFFSET : RT_BACK_SIDE;
    }
    if (properties.smooth)
        surface |= RT_SMOOTH;

    std::vector<unsigned> types;
    // Colouring without points or triangles to colour draws nothing.
    if (surface & (RT_POINTS | RT_TRIANGLES))
        types.push_back(surface);
    if (poly->getLines(m_stage))
        types.push_back(RT_FEATURE_LINES);
    if (properties.showBoundary)
        types.push_back(RT_BOUNDARY);
    if (properties.showEdges)
        types.push_back(RT_EDGES);
    return types;
}

// ---- set-up: culling, depth order, uploads ------------------------------------------------

void MeshRenderer::setupInternal()
{
    m_element = mesh("Vaq::GCAD::MeshRenderer::setupInternal");
    m_render_data = m_element->getPolyBaseRenderData(m_stage);
    if (!m_render_data)
        VAQ_PROG_ERROR("Vaq::GCAD::MeshRenderer::setupInternal", "no render data set");
    m_drawn_elements.insert(m_element);

    const MeshColouring colouring = getMeshColouring(*m_element);
    m_vertex_colours_available = colouring.vertexColours;
    m_color_map_available = colouring.colourMap;
    m_marked = m_render_callback->isElementMarked(m_element, nullptr);
    m_occlusion_mode = checkOcclusionMode();

    // Leaves are culled against the pixels being drawn: the view, or one band of a banded
    // snapshot, widened across its seams by the farthest a wide line or point reaches
    // beyond its leaf's box.
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    QRect drawn;
    if (view) {
        const int reach = int(std::ceil(CULLING_REACH_PIXELS * m_snapshot_scaling));
        const QRect window(0, 0, view->width(), view->height());
        drawn = view->getDrawnArea().adjusted(0, -reach, 0, reach) & window;
    }
    m_transformation = Transformation::translation(BaVec3d<double>(0.0, -drawn.y(), 0.0))
        * m_render_callback->get3d2dTransformation();
    Transformation elementTransformation;
    if (m_element->getRenderTransformation(m_stage, &elementTransformation))
        m_transformation = m_transformation * elementTransformation;
    m_width = drawn.width();
    m_height = drawn.height();
    m_gpu_allowed = view && view->allowGPURessources();

    const bool legendChanged = m_color_map_available && updateColorMap();
    cullLeaves(legendChanged);
    m_pending.clear();
}

bool MeshRenderer::checkOcclusionMode() const
{
    if (const ClippingInterface *clipping = m_render_callback->getClippingInterface()) {
        if (clipping->isClippingActive())
            return false;
    }
    if (!GL::glGetQueryivARB)
        return false;
    GLint counterBits = 0;
    GL::glGetQueryivARB(GL_SAMPLES_PASSED_ARB, GL_QUERY_COUNTER_BITS_ARB, &counterBits);
    if (counterBits == 0)
        return false;
    // Software rasterisers gain nothing from queries: the boxes cost as much as the leaves.
    if (GL::WidgetOptions::getInstance()->getCurrentWidgetOptions().softwareRendering)
        return false;
    if (!GL::GraphicCardDB::getInstance()->isDriverValid())
        return false;
    // The application may switch queries off; without the setting they are allowed.
    const Cfg::CfgNode &settings = Cfg::getRoot();
    if (settings.exists(GL::CFG_USE_MESH_OCCLUSION_QUERY)
        && !settings.getBool(GL::CFG_USE_MESH_OCCLUSION_QUERY))
        return false;
    return m_element->getNumberOfVisiblePoints(m_stage) > OCCLUSION_MIN_POINTS;
}

bool MeshRenderer::updateColorMap()
{
    const Legend2::LegendHandler &legend = *Legend2::LegendHandler::getInstance();
    ColorMapState fresh;
    fresh.toleranceMode = legend.getColorMap().getToleranceMode();
    fresh.toleranceData = m_element->existsToleranceVector();
    legend.getLegendDataRange(fresh.minimum, fresh.maximum);
    fresh.indexedColors = legend.getIndexedColors();
    fresh.uncomputedValid = legend.getColorMap().isUncomputedColorValid();
    fresh.uncomputed = legend.getColorMap().getUncomputedColor();
    fresh.toleranceColors = legend.getIndexedToleranceColors();
    fresh.tolerances = *m_element->getDistancePointTolerances();

    const auto stored = m_color_map_info.find(m_element);
    bool legendChanged = false;
    bool rebuildTexture = true;
    if (stored != m_color_map_info.end()) {
        const ColorMapState &old = stored->second;
        legendChanged = old.toleranceMode != fresh.toleranceMode || old.tolerances != fresh.tolerances
            || old.minimum != fresh.minimum || old.maximum != fresh.maximum;
        const GL::Texture *texture = ColorMapTexture::get(m_element);
        rebuildTexture = legendChanged || old.indexedColors != fresh.indexedColors
            || old.uncomputedValid != fresh.uncomputedValid || old.uncomputed != fresh.uncomputed
            || old.toleranceColors != fresh.toleranceColors || !texture || !texture->isValid();
    }
    if (rebuildTexture)
        ColorMapTexture::build(m_element, fresh.toleranceMode, fresh.toleranceData);
    m_color_map_info[m_element] = std::move(fresh);
    return legendChanged;
}

void MeshRenderer::cullLeaves(bool legendChanged)
{
    GLNodeContainer *container = GLNodeContainer::getInstance();
    const bool offsetSurface = m_element->isOffsetMeshValid();
    // Front first (depth grows toward the eye), so that the depth test turns away what lies
    // behind and occlusion queries find the leaves hidden behind nearer ones. Equal depths keep
    // the tree's order.
    std::vector<std::pair<double, CAD::BspNode *>> retained;
    for (CAD::BspNode *leaf : m_render_data->getAllLeaves()) {
        GLNode *node = nodeOf(leaf);
        const bool outside = !offsetSurface && leaf->isOutside(m_transformation, m_width, m_height);
        if (node) {
            if (m_gpu_allowed && container)
                container->ensureOnGPU(node);
            if (legendChanged)
                node->setModificationReason(CAD::AbstractNodeRenderData::MR_LEGEND);
            if (outside) {
                node->setVisibleInView(m_render_callback, false);
                continue;
            }
            // With queries, the last frame's answer stands until the next query.
            if (!m_occlusion_mode || offsetSurface)
                node->setVisibleInView(m_render_callback, true);
        } else if (outside) {
            continue;
        }
        retained.emplace_back(-leaf->getDepth(m_transformation), leaf);
    }
    std::stable_sort(
        retained.begin(), retained.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    m_draw_list.clear();
    for (const auto &[key, leaf] : retained)
        m_draw_list.push_back(leaf);
}

// ---- drawing ------------------------------------------------------------------------------

void MeshRenderer::preDrawInternal(unsigned renderType, int mode)
{
    m_build_flags = 0;
    for (unsigned type : m_render_types)
        m_build_flags |= type;
    m_current_type = renderType;

    const bool stateMode = mode == 2 || mode == 3;
    if (renderType == RT_BOUNDARY) {
        if (stateMode) {
            enableRenderMode(RM_LINES_NO_DEPTH_WRITE);
            Color color = m_render_callback->getDefaultProperties()->boundaryColor;
            m_render_callback->isElementMarked(m_element, &color);
            ::glColor4ub(color.r, color.g, color.b, color.a);
        }
        return;
    }
    if (renderType == RT_FEATURE_LINES) {
        if (stateMode) {
            enableRenderMode(RM_WIREFRAME);
            setLineWidth(3.0);
            ::glEnable(GL_COLOR_MATERIAL);
            const Color &line = m_render_callback->getDefaultProperties()->lineColor;
            ::glColor4ub(line.r / 2, line.g / 2, line.b / 2, line.a);
        }
        return;
    }
    if (renderType == RT_CYLINDER)
        return;

    m_pending.clear();
    for (CAD::BspNode *leaf : m_draw_list) {
        GLNode *node = nodeOf(leaf);
        if (!node || node->updateOrNeedsRebuild(m_stage, m_current_type))
            m_pending.push_back(leaf);
    }
    if (m_pending.size() > WAIT_CURSOR_LEAVES && !m_wait_cursor)
        m_wait_cursor.emplace();
    m_next_leaf = 0;
    m_query_count = 0;
}

bool MeshRenderer::drawInternal()
{
    const GL::RenderObject::RenderStage_t stage = m_render_callback->getRenderStage();
    if (stage != GL::RenderObject::RS_LEVEL0 && stage != GL::RenderObject::RS_LEVEL1)
        return false;
    switch (m_current_type) {
    case RT_BOUNDARY:
        drawBoundary();
        return true;
    case RT_FEATURE_LINES:
        drawFeatureLines();
        return true;
    case RT_CYLINDER:
        drawFittedCylinder();
        return true;
    default:
        break;
    }

    prepareNodes();
    if (m_pending.empty())
        m_wait_cursor.reset();
    return m_occlusion_mode ? occlusionStep() : drawNextLeaf();
}

void MeshRenderer::postDrawInternal(int mode)
{
    const bool stateMode = mode == 2 || mode == 3;
    if (m_current_type == RT_BOUNDARY && stateMode) {
        disableRenderMode(RM_LINES_NO_DEPTH_WRITE);
    } else if (m_current_type == RT_FEATURE_LINES && stateMode) {
        disableRenderMode(RM_WIREFRAME);
        ::glDisable(GL_COLOR_MATERIAL);
        resetLineWidth();
    }
    m_wait_cursor.reset();
}

// At most one node per processor is prepared per step, all at once on worker threads; the
// rest wait for the next steps, so that a step stays short.
void MeshRenderer::prepareNodes()
{
    if (m_pending.empty())
        return;
    // New nodes belong to the container, which exists from library start-up on.
    if (!GLNodeContainer::getInstance())
        VAQ_PROG_ERROR(
            "Vaq::GCAD::MeshRenderer::drawInternal", "no mesh node container (library not started)");
    const unsigned workers = std::max(1u, OS::getNumberOfCPUs());
    const int renderMode = GL::WidgetOptions::getInstance()->getCurrentWidgetOptions().renderMode;
    std::vector<std::unique_ptr<OptimizeNodeThread>> threads;
    while (threads.size() < workers && !m_pending.empty()) {
        CAD::BspNode *leaf = m_pending.front();
        m_pending.erase(m_pending.begin());
        GLNode *node = nodeOf(leaf);
        if (!node)
            node = new GLNode(m_stage, leaf); // owned by the node container
        else if (node->updateOrNeedsRebuild(m_stage, m_current_type))
            node->clear();
        else
            continue;
        threads.push_back(std::make_unique<OptimizeNodeThread>(node, m_build_flags, renderMode));
        threads.back()->start(QThread::InheritPriority);
    }
    for (const auto &thread : threads)
        thread->wait();
    m_prepared_leaves += unsigned(threads.size());
    for (const auto &thread : threads)
        thread->rethrowError();
}

void MeshRenderer::drawLeaf(CAD::BspNode *leaf)
{
    if (GLNode *node = nodeOf(leaf)) {
        // A marked element keeps its nodes as built; only the drawing leaves out its colours.
        const unsigned flags
            = m_marked ? m_current_type & ~(RT_VERTEX_COLORS | RT_COLOR_MAP) : m_current_type;
        node->draw(this, flags, m_render_types_given);
        ++m_drawn_leaves;
    }
}

bool MeshRenderer::drawNextLeaf()
{
    if (m_next_leaf < m_draw_list.size())
        drawLeaf(m_draw_list[m_next_leaf++]);
    return m_next_leaf >= m_draw_list.size();
}

// Each leaf's box is tested with a query while the leaf is drawn if it was visible before; a
// batch is read back only once its last result is there, so the GPU is never waited for. A
// leaf hidden last frame shows one frame late once its box comes into sight.
bool MeshRenderer::occlusionStep()
{
    if (!m_queries_allocated) {
        GL::glGenQueriesARB(QUERY_BATCH, m_query_ids.data());
        m_queries_allocated = true;
    }
    if (m_next_leaf < m_draw_list.size() && m_query_count < QUERY_BATCH) {
        CAD::BspNode *leaf = m_draw_list[m_next_leaf];
        GL::glBeginQueryARB(GL_SAMPLES_PASSED_ARB, m_query_ids[m_query_count]);
        drawLeafBox(leaf);
        GL::glEndQueryARB(GL_SAMPLES_PASSED_ARB);
        m_query_leaf[m_query_count++] = m_next_leaf;
        const GLNode *node = nodeOf(leaf);
        if (node && node->isVisibleInView(m_render_callback))
            drawLeaf(leaf);
        ++m_next_leaf;
        return false;
    }
    if (m_query_count == 0)
        return true;
    GLint available = 0;
    GL::glGetQueryObjectivARB(m_query_ids[m_query_count - 1], GL_QUERY_RESULT_AVAILABLE_ARB, &available);
    if (available != 1)
        return false;
    for (unsigned i = 0; i < m_query_count; ++i) {
        GLuint samples = 0;
        GL::glGetQueryObjectuivARB(m_query_ids[i], GL_QUERY_RESULT_ARB, &samples);
        CAD::BspNode *leaf = m_draw_list[m_query_leaf[i]];
        GLNode *node = nodeOf(leaf);
        if (!node)
            continue;
        if (samples == 0) {
            node->setVisibleInView(m_render_callback, false);
        } else if (!node->isVisibleInView(m_render_callback)) {
            node->setVisibleInView(m_render_callback, true);
            drawLeaf(leaf);
        }
    }
    m_query_count = 0;
    return m_next_leaf >= m_draw_list.size();
}

void MeshRenderer::drawLeafBox(const CAD::BspNode *leaf) const
{
    // Only the depth test counts: nothing of the box is seen or kept.
    ::glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    ::glDepthMask(GL_FALSE);
    drawBoxOutsideStencil(leaf->getBoundingBox(CAD::BBT_GEOMETRY), true);
    ::glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void MeshRenderer::drawBoundary() const
{
    const CAD::PolyBoundary *boundary = m_element->getBoundary();
    if (!boundary || !m_element->isStageValid(m_stage))
        return;
    const auto polylines = boundary->getVisibleBoundaries();
    const auto closed = boundary->getVisibleClosedFlag();
    const auto flags = boundary->getVisibleFlags();
    ::glBegin(GL_LINES);
    for (std::size_t l = 0; l < polylines.size(); ++l) {
        const auto &points = polylines[l];
        if (points.size() < 2)
            continue;
        const std::size_t segments = closed[l] ? points.size() : points.size() - 1;
        for (std::size_t i = 0; i < segments; ++i) {
            const std::size_t j = (i + 1) % points.size();
            // Preview points are not part of the mesh yet.
            if (flags[l][i].isPreview() || flags[l][j].isPreview())
                continue;
            ::glVertex3d(points[i].x, points[i].y, points[i].z);
            ::glVertex3d(points[j].x, points[j].y, points[j].z);
        }
    }
    ::glEnd();
}

void MeshRenderer::drawFeatureLines() const
{
    const std::vector<CAD::PolyBase::Polyline> *lines = m_element->getLines(m_stage);
    if (!lines)
        return;
    ::glBegin(GL_LINES);
    for (const CAD::PolyBase::Polyline &line : *lines) {
        for (std::size_t i = 1; i < line.size(); ++i) {
            ::glVertex3f(float(line[i - 1].x), float(line[i - 1].y), float(line[i - 1].z));
            ::glVertex3f(float(line[i].x), float(line[i].y), float(line[i].z));
        }
    }
    ::glEnd();
}

// ---- element data ---------------------------------------------------------------------------

void MeshRenderer::removeElement(CAD::Element *element)
{
    if (GLNodeContainer *container = GLNodeContainer::getInstance())
        container->removeNodes(element);
    ColorMapTexture::remove(element);
    m_color_map_info.erase(element);
    m_drawn_elements.erase(element);
}

// Each view has its own mesh renderer, but the nodes are shared: the elements another open
// view shows keep theirs.
void MeshRenderer::removeAllElements()
{
    GLNodeContainer *container = GLNodeContainer::getInstance();
    for (const CAD::Element *element : m_drawn_elements) {
        if (RenderCallback::isElementShownInOpenViews(element, m_render_callback))
            continue;
        if (container)
            container->removeNodes(element);
        ColorMapTexture::remove(element);
        m_color_map_info.erase(element);
    }
    m_drawn_elements.clear();
    if (container)
        container->deletePendingNodes();
}

// ---- render time --------------------------------------------------------------------------

double MeshRenderer::estimateRenderTime(const std::vector<unsigned> &renderTypes, unsigned stepping) const
{
    if (!m_render_data)
        return 0.0;
    // Data in client memory crosses the bus every frame: it counts three times.
    uint64_t points = 0, triangles = 0;
    for (const CAD::BspNode *leaf : m_render_data->getAllLeaves()) {
        const GLNode *node = nodeOf(leaf);
        if (node && !node->isVisibleInView(m_render_callback))
            continue;
        const uint64_t factor = node && node->isOnGPU() ? 1 : 3;
        points += factor * leaf->numVisiblePoints(CAD::PM_WITHOUT_PREVIEW);
        triangles += factor
            * (leaf->numVisibleTriangles(CAD::PM_WITHOUT_PREVIEW)
                + leaf->numVisibleOverlapTriangles(CAD::PM_WITHOUT_PREVIEW));
    }
    const uint64_t edges = 3 * triangles / 2;

    BenchmarkResult rates;
    if (BenchmarkResultContainer *store = BenchmarkResultContainer::getInstance())
        store->getResult(GL::WidgetOptions::getInstance()->getCurrentWidgetOptions(), &rates);
    double time = 0.0;
    for (unsigned type : renderTypes) {
        const bool smooth = type & RT_SMOOTH;
        const bool color = type & RT_VERTEX_COLORS;
        if (type & RT_POINTS)
            time += double(points) / rates.getPointStats(smooth, color, stepping);
        if (type & RT_TRIANGLES) {
            const unsigned rate = (type & RT_BACK_SIDE) ? rates.getTwosidedTriangleStats(smooth, color)
                                                        : rates.getSinglesidedTriangleStats(smooth, color);
            time += double(triangles) / rate;
        }
        if (type & RT_EDGES)
            time += double(edges) / rates.getEdgeStats(smooth, color);
    }
    return time;
}

bool MeshRenderer::reduceRenderTime(std::vector<unsigned> *renderTypes, unsigned *stepping) const
{
    for (unsigned bit : { unsigned(RT_EDGES), unsigned(RT_BACK_SIDE), unsigned(RT_MATERIAL_OFFSET) }) {
        if (removeBit(renderTypes, bit))
            return true;
    }
    if (renderTypes->size() == 1
        && (renderTypes->front() == POINTS_PLAIN || renderTypes->front() == POINTS_COLORED
            || renderTypes->front() == POINTS_COLOR_MAP)) {
        const auto &steppings = BenchmarkResult::_steppings;
        const auto at = std::find(steppings.begin(), steppings.end(), *stepping);
        if (at == steppings.end())
            VAQ_PROG_ERROR("Vaq::GCAD::MeshRenderer::reduceRenderTime", "wrong stepping");
        if (at + 1 == steppings.end())
            return false;
        *stepping = *(at + 1);
        return true;
    }
    unsigned points = POINTS_PLAIN;
    for (unsigned type : *renderTypes) {
        if (type & RT_VERTEX_COLORS) {
            points = POINTS_COLORED;
            break;
        }
        if (type & RT_COLOR_MAP) {
            points = POINTS_COLOR_MAP;
            break;
        }
    }
    *renderTypes = { points };
    return true;
}

} // namespace Vaq::GCAD
