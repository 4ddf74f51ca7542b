#include "gcad/host/cad/vaq_cad_poly_base.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_deviation_legend.h"
#include "gcad/host/cad/vaq_cad_find_parameter.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "gcad/host/cad/vaq_cad_poly_boundary.h"
#include "gcad/host/fig2/vaq_fig2_global_legend.h"

#include <algorithm>
#include <cmath>

namespace Vaq::CAD {

namespace {

ElementCreator::Element_t checkedMeshType(ElementCreator::Element_t type)
{
    ElementClassification classification;
    if (!ElementCreator::getElementClassification(type, &classification)
        || !classification[ElementClassification::MESH_DATASET])
        VAQ_PROG_ERROR("Vaq::CAD::PolyBase::PolyBase", "not a mesh type");
    return type;
}

BaVec3d<float> toFloat(const BaVec3d<double> &v)
{
    return { float(v.x), float(v.y), float(v.z) };
}

// Sets a flag on the listed entries once every index is known good, so that a bad list
// changes nothing.
void setFlags(std::vector<PointFlags> &flags, const std::vector<uint32_t> &indices, PointFlags::Flag flag,
    bool on, const char *function, const char *outOfRange)
{
    for (uint32_t i : indices) {
        if (i >= flags.size())
            VAQ_PROG_ERROR(function, outOfRange);
    }
    for (uint32_t i : indices)
        flags[i].set(flag, on);
}

// Calls f with every per-vertex vector of data but the vertex normals.
template<typename F> void forEachPerVertexVector(PolyBaseData &data, F f)
{
    f(data.vertices);
    f(data.drawColors);
    f(data.pointFlags);
    f(data.deviations);
    f(data.toleranceIndices);
    f(data.offsetVertices);
    f(data.offsetVertexNormals);
}

constexpr uint32_t NONE = std::numeric_limits<uint32_t>::max();

// Twice the area of triangle t times its unit normal: large triangles weigh more at their corners.
BaVec3d<double> weightedNormal(const std::vector<BaVec3d<double>> &vertices, const Triangle &c)
{
    const BaVec3d<double> &p1 = vertices[c[0]];
    return (vertices[c[1]] - p1).cross(vertices[c[2]] - p1);
}

// What splitAtCreases gives: the triangle corners to re-point to copies, for each copy the
// vertex it copies, and for each vertex and copy the area-weighted normal sum of its smooth
// group.
struct CreaseSplit
{
    struct Repoint
    {
        uint32_t triangle;
        uint32_t corner; // 0, 1 or 2
        uint32_t vertex;
    };
    std::vector<Repoint> repoints;
    std::vector<uint32_t> copies;
    std::vector<BaVec3d<float>> normalSums;
};

// The smooth groups around every vertex, in O(triangles + vertices) time with plain arrays; the
// memory beyond the mesh is one entry per corner and a few per vertex, since a mesh of tens of
// millions of triangles is split while it loads. The triangles around each vertex (its fan) are
// listed by a counting sort. Within a fan, two triangles that share an edge at the vertex and
// whose facets differ by at most the crease angle are joined (union-find over the fan; the
// triangle that last had the edge's far corner is found through an array indexed by that
// corner, stamped with the vertex so that it needs no clearing). The first group keeps the
// vertex; each further group gets a copy. unit: each triangle's unit normal.
CreaseSplit splitAtCreases(const std::vector<Triangle> &triangles,
    const std::vector<BaVec3d<double>> &vertices, const std::vector<BaVec3d<float>> &unit,
    double creaseAngleDegrees)
{
    const std::size_t vertexCount = vertices.size();
    // A degenerate triangle lists a vertex twice but belongs to its fan once.
    auto forEachCorner = [&triangles](std::size_t t, auto f) {
        const Triangle &c = triangles[t];
        f(c[0]);
        if (c[1] != c[0])
            f(c[1]);
        if (c[2] != c[0] && c[2] != c[1])
            f(c[2]);
    };
    // Counted to the end of each fan, then filled backwards down to its start.
    std::vector<uint32_t> fanStart(vertexCount + 1, 0);
    for (std::size_t t = 0; t < triangles.size(); ++t)
        forEachCorner(t, [&](uint32_t v) { ++fanStart[v + 1]; });
    for (std::size_t v = 0; v < vertexCount; ++v)
        fanStart[v + 1] += fanStart[v];
    std::vector<uint32_t> fan(fanStart.back());
    for (std::size_t t = triangles.size(); t-- > 0;)
        forEachCorner(t, [&](uint32_t v) { fan[--fanStart[v + 1]] = uint32_t(t); });
    // fanStart[v + 1] now holds the start of v's fan; shift it back to index v.
    for (std::size_t v = 0; v < vertexCount; ++v)
        fanStart[v] = fanStart[v + 1];
    fanStart[vertexCount] = uint32_t(fan.size());

    // The tolerance keeps coplanar facets together under a crease of 0 degrees despite the
    // rounding of float normals.
    const float minCosine = float(std::cos(creaseAngleDegrees * M_PI / 180.0) - 1e-6);
    auto smooth = [&unit, minCosine](uint32_t a, uint32_t b) {
        // A triangle without area has no direction to differ by.
        return unit[a].dot(unit[b]) >= minCosine || unit[a].dot(unit[a]) == 0.0f
            || unit[b].dot(unit[b]) == 0.0f;
    };

    CreaseSplit split { {}, {}, std::vector<BaVec3d<float>>(vertexCount) };
    std::vector<uint32_t> edgeStamp(vertexCount, NONE);
    std::vector<uint32_t> edgeOwner(vertexCount);
    std::vector<uint32_t> parent;
    std::vector<uint32_t> groupVertex;
    for (uint32_t v = 0; v < vertexCount; ++v) {
        const uint32_t *around = fan.data() + fanStart[v];
        const uint32_t count = fanStart[v + 1] - fanStart[v];
        parent.resize(count);
        for (uint32_t i = 0; i < count; ++i)
            parent[i] = i;
        auto find = [&parent](uint32_t i) {
            while (parent[i] != i)
                i = parent[i] = parent[parent[i]];
            return i;
        };
        for (uint32_t i = 0; i < count; ++i) {
            for (uint32_t w : triangles[around[i]]) {
                if (w == v)
                    continue;
                if (edgeStamp[w] == v && smooth(around[i], around[edgeOwner[w]]))
                    parent[find(i)] = find(edgeOwner[w]);
                edgeStamp[w] = v;
                edgeOwner[w] = i;
            }
        }
        groupVertex.assign(count, NONE);
        bool ownUsed = false;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t &target = groupVertex[find(i)];
            if (target == NONE && !ownUsed) {
                target = v;
                ownUsed = true;
            } else if (target == NONE) {
                target = uint32_t(vertexCount + split.copies.size());
                split.copies.push_back(v);
                split.normalSums.emplace_back();
            }
            const Triangle &corners = triangles[around[i]];
            split.normalSums[target] += toFloat(weightedNormal(vertices, corners));
            for (uint32_t k = 0; k < 3; ++k)
                if (corners[k] == v && target != v)
                    split.repoints.push_back({ around[i], k, target });
        }
    }
    return split;
}

// Which change of the spatial tree's leaves a flag is.
BspTree::Change changeOf(PointFlags::Flag flag)
{
    return flag == PointFlags::SELECTED ? BspTree::CH_SELECTION : BspTree::CH_FLAGS;
}

} // namespace

PolyBase::PolyBase(ElementCreator::Element_t type, const QString &fileName)
    : Element(checkedMeshType(type), fileName)
{
}

PolyBase::~PolyBase() = default;

const PolyBaseData *PolyBase::getData(const StageIdentifier &stage) const
{
    return isStageValid(stage) ? &m_data : nullptr;
}

void PolyBase::setMesh(std::vector<BaVec3d<double>> vertices, std::vector<Triangle> triangles)
{
    for (const Triangle &t : triangles) {
        for (uint32_t v : t) {
            if (v >= vertices.size())
                VAQ_PROG_ERROR("Vaq::CAD::PolyBase::setMesh", "triangle corner out of range");
        }
    }
    // The old tree refers to the old vertices; it goes at once, its leaves' data with it.
    m_render_data.reset();
    m_boundary.reset();
    m_crease_copies.clear();
    m_data = PolyBaseData();
    m_data.pointFlags.resize(vertices.size());
    m_data.triangleFlags.resize(triangles.size());
    m_data.vertices = std::move(vertices);
    m_data.triangles = std::move(triangles);
    m_data.renderDataModified = true;
    m_box = Box3d();
    for (const BaVec3d<double> &v : m_data.vertices)
        m_box.extend(v);
}

void PolyBase::computeNormals(double creaseAngleDegrees)
{
    const bool hadCopies = !m_crease_copies.empty();
    if (hadCopies) {
        // The tree refers to the vertices that are about to go.
        m_render_data.reset();
        joinCreaseCopies();
    }
    m_data.triangleNormals.resize(m_data.triangles.size());
    for (std::size_t t = 0; t < m_data.triangles.size(); ++t)
        m_data.triangleNormals[t]
            = toFloat(weightedNormal(m_data.vertices, m_data.triangles[t]).normalized());

    CreaseSplit split;
    if (creaseAngleDegrees < NO_CREASE_ANGLE) {
        split = splitAtCreases(m_data.triangles, m_data.vertices, m_data.triangleNormals, creaseAngleDegrees);
    } else {
        split.normalSums.resize(m_data.vertices.size());
        for (const Triangle &triangle : m_data.triangles) {
            const BaVec3d<float> weighted = toFloat(weightedNormal(m_data.vertices, triangle));
            for (uint32_t v : triangle)
                split.normalSums[v] += weighted;
        }
    }
    if (!split.copies.empty()) {
        m_render_data.reset();
        // Copies do not share their corners, so the boundary is taken from the mesh as set; the
        // copied vertices keep their indices.
        if (!m_no_boundary && !m_boundary)
            m_boundary = std::make_unique<PolyBoundary>(m_data);
        for (const CreaseSplit::Repoint &repoint : split.repoints)
            m_data.triangles[repoint.triangle][repoint.corner] = repoint.vertex;
        m_crease_copies = std::move(split.copies);
        forEachPerVertexVector(m_data, [this](auto &values) {
            if (values.empty())
                return;
            values.reserve(values.size() + m_crease_copies.size());
            for (uint32_t v : m_crease_copies)
                values.push_back(values[v]);
        });
    }
    if (hadCopies || !m_crease_copies.empty())
        m_data.renderDataModified = true;

    for (BaVec3d<float> &normal : split.normalSums)
        normal = normal.normalized();
    m_data.vertexNormals = std::move(split.normalSums);
    m_data.renderVisualizationModified = true;
    markAllLeaves(BspTree::CH_GEOMETRY);
}

void PolyBase::joinCreaseCopies()
{
    const std::size_t own = m_data.vertices.size() - m_crease_copies.size();
    for (Triangle &triangle : m_data.triangles)
        for (uint32_t &corner : triangle)
            if (corner >= own)
                corner = m_crease_copies[corner - own];
    forEachPerVertexVector(m_data, [own](auto &values) {
        if (values.size() > own)
            values.resize(own);
    });
    m_data.vertexNormals.resize(std::min(m_data.vertexNormals.size(), own));
    m_crease_copies.clear();
}

void PolyBase::checkPerVertex(std::size_t count, const char *function) const
{
    if (count != 0 && count != m_data.vertices.size())
        VAQ_PROG_ERROR(function, "wrong number of values");
}

void PolyBase::markAllLeaves(unsigned change)
{
    if (m_render_data)
        m_render_data->getBspTree().markAllLeaves(BspTree::Change(change));
}

void PolyBase::setDrawColors(std::vector<Color> colors)
{
    checkPerVertex(colors.size(), "Vaq::CAD::PolyBase::setDrawColors");
    m_data.drawColors = std::move(colors);
    m_data.renderVisualizationModified = true;
    markAllLeaves(BspTree::CH_VALUES);
}

void PolyBase::setDeviations(std::vector<float> deviations)
{
    checkPerVertex(deviations.size(), "Vaq::CAD::PolyBase::setDeviations");
    m_data.deviations = std::move(deviations);
    m_data.renderVisualizationModified = true;
    markAllLeaves(BspTree::CH_VALUES);
}

void PolyBase::setToleranceIndices(std::vector<uint32_t> indices)
{
    checkPerVertex(indices.size(), "Vaq::CAD::PolyBase::setToleranceIndices");
    m_data.toleranceIndices = std::move(indices);
    m_data.renderVisualizationModified = true;
    markAllLeaves(BspTree::CH_VALUES);
}

void PolyBase::setDistancePointTolerances(std::vector<Tolerance> tolerances)
{
    m_tolerances = std::move(tolerances);
    m_data.renderVisualizationModified = true;
    markAllLeaves(BspTree::CH_VALUES);
}

void PolyBase::setPointFlag(const std::vector<uint32_t> &points, PointFlags::Flag flag, bool on)
{
    setFlags(
        m_data.pointFlags, points, flag, on, "Vaq::CAD::PolyBase::setPointFlag", "point index out of range");
    m_data.renderFlagsModified = true;
    if (m_render_data)
        m_render_data->getBspTree().markVertices(points, changeOf(flag));
}

void PolyBase::setTriangleFlag(const std::vector<uint32_t> &triangles, PointFlags::Flag flag, bool on)
{
    setFlags(m_data.triangleFlags, triangles, flag, on, "Vaq::CAD::PolyBase::setTriangleFlag",
        "triangle index out of range");
    m_data.renderFlagsModified = true;
    if (m_render_data)
        m_render_data->getBspTree().markTriangles(triangles, changeOf(flag));
}

MaterialOffset_t PolyBase::existsMaterialOffset() const
{
    return m_material_offset;
}

const PatchInfo *PolyBase::getPatchInfoObject() const
{
    return m_material_offset == MO_PER_PATCH ? &m_patches : nullptr;
}

double PolyBase::getElementMaterialOffset() const
{
    return m_material_offset == MO_ELEMENT ? m_element_offset : 0.0;
}

void PolyBase::setPatchMaterialOffset(PatchInfo patches)
{
    m_material_offset = MO_PER_PATCH;
    m_patches = std::move(patches);
}

void PolyBase::setElementMaterialOffset(double offset)
{
    m_material_offset = MO_ELEMENT;
    m_element_offset = offset;
}

void PolyBase::clearMaterialOffset()
{
    m_material_offset = MO_NONE;
}

void PolyBase::setOffsetSurface(std::vector<BaVec3d<double>> vertices,
    std::vector<BaVec3d<float>> vertexNormals, std::vector<BaVec3d<float>> triangleNormals)
{
    const bool none = vertices.empty() && vertexNormals.empty() && triangleNormals.empty();
    const bool complete = vertices.size() == m_data.vertices.size()
        && vertexNormals.size() == m_data.vertices.size()
        && triangleNormals.size() == m_data.triangles.size();
    if (!none && !complete)
        VAQ_PROG_ERROR("Vaq::CAD::PolyBase::setOffsetSurface", "wrong number of values");
    m_data.offsetVertices = std::move(vertices);
    m_data.offsetVertexNormals = std::move(vertexNormals);
    m_data.offsetTriangleNormals = std::move(triangleNormals);
    m_data.renderVisualizationModified = true;
    markAllLeaves(BspTree::CH_GEOMETRY);
}

bool PolyBase::isOffsetMeshValid() const
{
    return !m_data.offsetVertices.empty();
}

void PolyBase::needsNoBoundary(bool noBoundary)
{
    m_no_boundary = noBoundary;
    if (noBoundary)
        m_boundary.reset();
    else
        m_data.renderVisualizationModified = true;
}

void PolyBase::setLines(std::vector<Polyline> lines)
{
    m_lines = std::move(lines);
}

const std::vector<PolyBase::Polyline> *PolyBase::getLines(const StageIdentifier &stage) const
{
    return isStageValid(stage) && !m_lines.empty() ? &m_lines : nullptr;
}

PolyBaseRenderData *PolyBase::getPolyBaseRenderData(const StageIdentifier &stage) const
{
    return isStageValid(stage) ? m_render_data.get() : nullptr;
}

void PolyBase::updateVisualization(const StageIdentifier &stage, bool dataChanged, bool flagsChanged)
{
    // Smooth: a split here would renumber vertices that the caller may hold.
    if (m_data.vertexNormals.size() != m_data.vertices.size()
        || m_data.triangleNormals.size() != m_data.triangles.size())
        computeNormals();
    if (!m_render_data || dataChanged || m_data.renderDataModified) {
        m_render_data.reset();
        m_render_data = std::make_unique<PolyBaseRenderData>(this, m_data, m_max_leaf_vertices);
    } else {
        if (flagsChanged)
            m_render_data->getBspTree().markAllLeaves(BspTree::CH_FLAGS);
        m_render_data->getBspTree().applyChanges();
    }
    if (!m_no_boundary && !m_boundary)
        m_boundary = std::make_unique<PolyBoundary>(m_data);
    m_data.renderFlagsModified = false;
    m_data.renderDataModified = false;
    m_data.renderVisualizationModified = false;
    m_delayed_update = false;
    Element::updateVisualization(stage, dataChanged, flagsChanged);
}

void PolyBase::executeDelayedUpdateVisualization()
{
    if (m_delayed_update)
        updateVisualization(StageIdentifier::NO_STAGE, false, false);
}

bool PolyBase::isColorMapShown(const StageIdentifier &stage) const
{
    ElementClassification classification;
    ElementCreator::getElementClassification(this, &classification);
    const bool colorMapped = classification[ElementClassification::COLOR_MAPPED]
        || (getType() == ElementCreator::MESH && getElemProperties()->colorMapEnabled);
    const PolyBaseData *data = getData(stage);
    return colorMapped && data && !data->deviations.empty();
}

bool PolyBase::mustLabelBeRendered(const StageIdentifier &stage) const
{
    return Element::mustLabelBeRendered(stage) || (isColorMapShown(stage) && isVisible(VR_HIERARCHY));
}

void PolyBase::updateFigureElements(
    const StageIdentifier &stage, int viewHeight, const Transformation &view, double pixelSize)
{
    Element::updateFigureElements(stage, viewHeight, view, pixelSize);
    if (!isColorMapShown(stage))
        return;
    updateDeviationLegend();
}

std::vector<Fig2::Element *> PolyBase::getFigureElements(const StageIdentifier &stage) const
{
    std::vector<Fig2::Element *> elements = Element::getFigureElements(stage);
    if (isColorMapShown(stage))
        elements.push_back(GLegend2::GlobalLegend::getInstance());
    return elements;
}

unsigned PolyBase::getNumberOfPoints(const StageIdentifier &stage) const
{
    const PolyBaseData *data = getData(stage);
    return data ? unsigned(data->vertices.size()) : 0;
}

unsigned PolyBase::getNumberOfVisiblePoints(const StageIdentifier &stage) const
{
    unsigned count = 0;
    if (const PolyBaseRenderData *renderData = getPolyBaseRenderData(stage)) {
        for (const BspNode *leaf : renderData->getAllLeaves())
            count += leaf->numVisiblePoints(PM_WITHOUT_PREVIEW);
    }
    return count;
}

unsigned PolyBase::getNumberOfVisibleTriangles(const StageIdentifier &stage) const
{
    unsigned count = 0;
    if (const PolyBaseRenderData *renderData = getPolyBaseRenderData(stage)) {
        for (const BspNode *leaf : renderData->getAllLeaves())
            count += leaf->numVisibleTriangles(PM_WITHOUT_PREVIEW)
                + leaf->numVisibleOverlapTriangles(PM_WITHOUT_PREVIEW);
    }
    return count;
}

bool PolyBase::findElementAtPixel(const StageIdentifier &stage, FindParameter &parameter, double) const
{
    parameter.clearFound();
    PolyBaseRenderData *renderData = getPolyBaseRenderData(stage);
    if (!renderData)
        return false;
    Transformation toWorld;
    const bool transformed = getRenderTransformation(stage, &toWorld);
    Line3d line;
    if (!parameter.getViewLineInElement(transformed ? &toWorld : nullptr, &line))
        return false;
    if (!renderData->getRayIndex())
        renderData->setRayIndex(
            std::make_unique<MeshRayIndex>(m_data.vertices, m_data.triangles, renderData->getAllLeaves()));

    const Ray ray(line);
    const auto visible = [this](uint32_t triangle) {
        if (!m_data.triangleFlags.empty() && !m_data.triangleFlags[triangle].isVisible())
            return false;
        if (m_data.pointFlags.empty())
            return true;
        const Triangle &corners = m_data.triangles[triangle];
        return std::all_of(corners.begin(), corners.end(),
            [this](uint32_t corner) { return m_data.pointFlags[corner].isVisible(); });
    };
    const auto toView
        = [&](const BaVec3d<double> &point) { return transformed ? toWorld.transform(point) : point; };
    RayHit hit;
    if (!renderData->getRayIndex()->castRay(
            ray,
            [&](uint32_t triangle, double t) {
                return visible(triangle) && !parameter.isCutAway(toView(ray.pointAt(t)));
            },
            &hit))
        return false;
    const BaVec3d<double> point = ray.pointAt(hit.t);
    parameter.setFound(point, parameter.depthOf(toView(point)));
    if (transformed)
        parameter.setFoundRenderTrafo(toWorld);
    return true;
}

bool PolyBase::getBoundingBox(
    const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const
{
    return getStoredOrDataBox(m_box, stage, type, context, box);
}

} // namespace Vaq::CAD
