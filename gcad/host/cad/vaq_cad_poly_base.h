// PolyBase: a triangle mesh element (measured scan, nominal CAD mesh, inspection result). It
// holds double vertices, triangles, normals, draw colours, point and triangle flags, deviation
// values with tolerances, material offset data, boundary polylines and feature lines. Its
// render data, a spatial tree of small leaves, is built and kept current by updateVisualization.
#pragma once

#include "gcad/host/cad/vaq_cad_bsp_tree.h"
#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/cad/vaq_cad_no_value.h"
#include "gcad/host/cad/vaq_cad_patch_info.h"
#include "gcad/host/cad/vaq_cad_point_flags.h"
#include "gcad/host/cad/vaq_cad_tolerance.h"

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace Vaq::CAD {

class PolyBaseRenderData;
class PolyBoundary;

// The corners P1, P2, P3 of a triangle as vertex indices, counter-clockwise seen from the front.
using Triangle = std::array<uint32_t, 3>;

// What existsMaterialOffset reports.
enum MaterialOffset_t {
    MO_NONE = 0,
    MO_PER_PATCH = 1, // each patch has its own offset (getPatchInfoObject)
    MO_ELEMENT = 2, // one offset for the whole element (getElementMaterialOffset)
};

// The data of a mesh. Per-vertex and per-triangle vectors are either empty (not present) or
// have one entry per vertex or triangle. The modification flags say what changed since the
// last updateVisualization.
struct PolyBaseData
{
    std::vector<BaVec3d<double>> vertices;
    std::vector<Triangle> triangles;
    std::vector<BaVec3d<float>> vertexNormals;
    std::vector<BaVec3d<float>> triangleNormals;
    std::vector<Color> drawColors;
    std::vector<PointFlags> pointFlags;
    std::vector<PointFlags> triangleFlags;
    // Deviation of each vertex from the nominal; NO_VALUE where none was computed.
    std::vector<float> deviations;
    // Per vertex, an index into the element's distance-point tolerances.
    std::vector<uint32_t> toleranceIndices;
    // The material-offset surface: vertices and normals of the same topology.
    std::vector<BaVec3d<double>> offsetVertices;
    std::vector<BaVec3d<float>> offsetVertexNormals;
    std::vector<BaVec3d<float>> offsetTriangleNormals;

    bool renderFlagsModified = false; // point or triangle flags
    bool renderDataModified = false; // vertices or triangles
    bool renderVisualizationModified = false; // normals, colours, values, offset surface
};

class PolyBase : public Element
{
public:
    using Polyline = std::vector<BaVec3d<double>>;

    // Throws ProgError "not a mesh type" when type is not a mesh kind.
    explicit PolyBase(
        ElementCreator::Element_t type = ElementCreator::MESH, const QString &fileName = QString());
    ~PolyBase() override;

    // The mesh data; one data set serves every stage in which the element is valid, null for
    // the others.
    const PolyBaseData *getData(const StageIdentifier &stage) const;

    // Replaces the geometry. Every other per-vertex and per-triangle vector is emptied, the
    // flags are reset and the render data is dropped until the next updateVisualization.
    // Throws ProgError "triangle corner out of range"; nothing changes then.
    void setMesh(std::vector<BaVec3d<double>> vertices, std::vector<Triangle> triangles);
    // The crease angle for meshes that come without normals, such as imported files: facets
    // that differ by more, at a machined edge for instance, keep the edge sharp.
    static constexpr double DEFAULT_CREASE_ANGLE = 30.0;
    // The largest angle between two facets: a crease of 180 degrees smooths across every edge.
    static constexpr double NO_CREASE_ANGLE = 180.0;

    // Triangle normals from the corners (counter-clockwise front), vertex normals as the
    // area-weighted mean of the normals of the triangles around the vertex that are joined to
    // each other across edges where their facets differ by at most creaseAngleDegrees (0 to
    // 180). Cost: linear in triangles and vertices, plain arrays; the idea is a union-find of
    // each vertex's triangle fan across its smooth edges. Where that leaves more than one smooth group at a
    // vertex, each group after the first gets a copy of the vertex (appended, with its colour, flags and
    // other per-vertex values) and its triangles are re-pointed to it, which rebuilds the tree. Every call
    // starts from the mesh as set: copies of an earlier call are joined back first. The
    // boundary stays that of the mesh as set.
    void computeNormals(double creaseAngleDegrees = NO_CREASE_ANGLE);

    // Setters for per-vertex values take one value per vertex, or none to remove them, else
    // throw ProgError "wrong number of values" and change nothing.
    void setDrawColors(std::vector<Color> colors);
    const std::vector<Color> &getDrawColors() const { return m_data.drawColors; }
    void setDeviations(std::vector<float> deviations);
    void setToleranceIndices(std::vector<uint32_t> indices);
    bool existsToleranceVector() const { return !m_data.toleranceIndices.empty(); }
    void setDistancePointTolerances(std::vector<Tolerance> tolerances);
    const std::vector<Tolerance> *getDistancePointTolerances() const { return &m_tolerances; }

    // Sets or clears one flag of the given points or triangles. Throws ProgError "point index
    // out of range" or "triangle index out of range"; nothing changes then.
    void setPointFlag(const std::vector<uint32_t> &points, PointFlags::Flag flag, bool on);
    void setTriangleFlag(const std::vector<uint32_t> &triangles, PointFlags::Flag flag, bool on);

    // Material offset: none, per patch, or one for the element.
    MaterialOffset_t existsMaterialOffset() const;
    // The patches; null unless the offset is per patch.
    const PatchInfo *getPatchInfoObject() const;
    // The element's offset; 0.0 unless the offset is per element.
    double getElementMaterialOffset() const;
    void setPatchMaterialOffset(PatchInfo patches);
    void setElementMaterialOffset(double offset);
    void clearMaterialOffset();
    // The offset surface; throws ProgError "wrong number of values" unless there is one
    // vertex and vertex normal per vertex and one normal per triangle (or all are empty).
    void setOffsetSurface(std::vector<BaVec3d<double>> vertices, std::vector<BaVec3d<float>> vertexNormals,
        std::vector<BaVec3d<float>> triangleNormals);
    // An offset surface matching the current mesh exists.
    bool isOffsetMeshValid() const;

    // Whether the boundary polylines are computed (the default) at updateVisualization.
    void needsNoBoundary(bool noBoundary);
    // The boundary; null when switched off or not computed yet.
    const PolyBoundary *getBoundary() const { return m_boundary.get(); }

    // Feature lines drawn over the mesh; null when there are none or the stage is not valid.
    void setLines(std::vector<Polyline> lines);
    const std::vector<Polyline> *getLines(const StageIdentifier &stage) const;

    // The most vertices a leaf of the next tree holds (all a leaf can address unless set
    // lower, as tests of many leaves do). Throws what BspTree throws for a bad limit when the
    // tree is built.
    void setMaxLeafVertices(unsigned count) { m_max_leaf_vertices = count; }

    // The spatial tree; null before the first updateVisualization after setMesh, or for a
    // stage in which the element is not valid.
    PolyBaseRenderData *getPolyBaseRenderData(const StageIdentifier &stage) const;
    // Brings the render data up to date: a new tree after a geometry change (or with
    // dataChanged), else re-sorted leaves for flag changes (all of them with flagsChanged);
    // the leaves' render data learns why it is outdated. Missing normals are computed.
    void updateVisualization(const StageIdentifier &stage, bool dataChanged, bool flagsChanged) override;
    // Asks for an update that the next executeDelayedUpdateVisualization runs; the drawing
    // cycle calls it before reading the data.
    void requestDelayedUpdateVisualization() { m_delayed_update = true; }
    void executeDelayedUpdateVisualization();

    unsigned getNumberOfPoints(const StageIdentifier &stage) const override;
    unsigned getNumberOfVisiblePoints(const StageIdentifier &stage) const override;
    unsigned getNumberOfVisibleTriangles(const StageIdentifier &stage) const;
    // Picking: the visible triangle nearest the viewer that the view line crosses, through the
    // spatial tree (see MeshRayIndex); false before the tree exists. The tolerance is not used:
    // a surface is hit where it is drawn.
    bool findElementAtPixel(
        const StageIdentifier &stage, FindParameter &parameter, double tolerancePixels) const override;
    // The box of the vertices; false without vertices or in a stage where the element is not valid.
    bool getBoundingBox(
        const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const override;

private:
    void checkPerVertex(std::size_t count, const char *function) const;
    // Re-points the triangles of crease copies to the vertices they copy and drops the copies.
    void joinCreaseCopies();
    void markAllLeaves(unsigned change);

    PolyBaseData m_data;
    Box3d m_box;
    std::vector<Tolerance> m_tolerances;
    MaterialOffset_t m_material_offset = MO_NONE;
    PatchInfo m_patches;
    double m_element_offset = 0.0;
    bool m_no_boundary = false;
    unsigned m_max_leaf_vertices = BspTree::MAX_LEAF_VERTICES;
    bool m_delayed_update = false;
    std::unique_ptr<PolyBoundary> m_boundary;
    std::vector<Polyline> m_lines;
    std::unique_ptr<PolyBaseRenderData> m_render_data;
    // For each vertex after the mesh's own, the vertex it copies at a crease.
    std::vector<uint32_t> m_crease_copies;
};

} // namespace Vaq::CAD
