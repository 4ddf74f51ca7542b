// BspNode: one leaf of a mesh's spatial tree. It lists its own vertices and its triangles,
// each sorted selected first, then unselected, preview and hidden ones, so that a renderer
// draws each group as one range. Triangles whose corners all lie in the leaf come first;
// from overlapStart on follow the overlap triangles, which reach into other leaves.
#pragma once

#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/cad/vaq_cad_point_flags.h"
#include "gcad/host/cad/vaq_cad_stage.h"

#include <cstdint>
#include <vector>

namespace Vaq::CAD {

class AbstractNodeRenderData;
class BspTree;

class BspNode
{
public:
    // Sort groups of the vertex and triangle lists, in list order.
    enum Group { G_SELECTED = 0, G_UNSELECTED = 1, G_PREVIEW = 2, G_HIDDEN = 3, NUMBER_OF_GROUPS = 4 };

    explicit BspNode(BspTree *tree);
    // Drops the render data (AbstractNodeRenderData::nodeDropped).
    ~BspNode();

    BspNode(const BspNode &) = delete;
    BspNode &operator=(const BspNode &) = delete;

    BspTree *getTree() const { return m_tree; }

    // Element vertex indices of the leaf's own vertices; a vertex's position here is its
    // offset in the leaf (BspTree::getVertexOffsetInNode).
    const std::vector<uint32_t> &getVertices() const { return m_vertices; }
    // Element triangle indices: own triangles, then the overlap triangles from overlapStart.
    const std::vector<uint32_t> &getTriangles() const { return m_triangles; }
    unsigned overlapStart() const { return m_overlap_start; }
    // The own triangles' corners as offsets in getVertices, three per triangle in list order:
    // the 16-bit indices a renderer draws them with.
    const std::vector<uint16_t> &getLocalCorners() const { return m_local_corners; }

    // Visible points come first in getVertices, the selected ones first among them; the
    // same holds for both triangle blocks. A triangle is visible when it and its three
    // corners are; a preview triangle or corner makes it a preview triangle.
    unsigned numVisiblePoints(PreviewMode_t mode) const { return visible(m_point_counts, mode); }
    unsigned numSelectedPoints(PreviewMode_t) const { return m_point_counts[G_SELECTED]; }
    unsigned numVisibleTriangles(PreviewMode_t mode) const { return visible(m_own_counts, mode); }
    unsigned numSelectedTriangles(PreviewMode_t) const { return m_own_counts[G_SELECTED]; }
    unsigned numVisibleOverlapTriangles(PreviewMode_t mode) const { return visible(m_overlap_counts, mode); }
    unsigned numSelectedOverlapTriangles(PreviewMode_t) const { return m_overlap_counts[G_SELECTED]; }

    // The box of every vertex the leaf draws (its own and the far corners of its overlap
    // triangles); a mesh draws nothing around its geometry, so both box types are the same.
    const Box3d &getBoundingBox(BoundingBoxType_t) const { return m_box; }
    // Whether the box lies entirely beside the view: transformation maps to window
    // coordinates (x in [0, width], y in [0, height]). A box reaching behind the eye is not
    // outside.
    bool isOutside(const Transformation &transformation, int width, int height) const;
    // The depth of the box centre under transformation, which maps to window coordinates, as
    // eye coordinates count it: it grows toward the eye (the window depth, growing away from
    // it, negated).
    double getDepth(const Transformation &transformation) const;

    AbstractNodeRenderData *getNodeRenderData() const { return m_render_data; }
    // Attaches data (null detaches); other data attached before is dropped.
    void setNodeRenderData(AbstractNodeRenderData *data);

private:
    friend class BspTree;

    using Counts = unsigned[NUMBER_OF_GROUPS];
    static unsigned visible(const Counts &counts, PreviewMode_t mode)
    {
        return counts[G_SELECTED] + counts[G_UNSELECTED] + (mode == PM_WITH_PREVIEW ? counts[G_PREVIEW] : 0);
    }

    BspTree *m_tree;
    std::vector<uint32_t> m_vertices;
    std::vector<uint32_t> m_triangles;
    unsigned m_overlap_start = 0;
    std::vector<uint16_t> m_local_corners;
    Counts m_point_counts = {};
    Counts m_own_counts = {};
    Counts m_overlap_counts = {};
    Box3d m_box;
    // Cache statistics of the drawn triangle order, for BspTree::getAverageCacheHitRatio.
    std::size_t m_drawn_corners = 0;
    std::size_t m_transformed_vertices = 0;
    // What changed since the last BspTree::applyChanges (BspTree::Change bits).
    unsigned m_changes = 0;
    AbstractNodeRenderData *m_render_data = nullptr;
};

} // namespace Vaq::CAD
