// The mesh render types: one bit set that says what a mesh pass draws. It steers both how a
// GPU node's data is prepared (vertex layout, index order) and how it is drawn.
#pragma once

namespace Vaq::GCAD {

enum MeshRenderType : unsigned {
    RT_POINTS = 0x001, // the vertices as points
    RT_VERTEX_COLORS = 0x002, // per-vertex colours of the element
    RT_TRIANGLES = 0x004, // the shaded surface
    RT_SMOOTH = 0x008, // per-vertex normals; without it flat shading
    RT_BACK_SIDE = 0x010, // front side coloured, back side in the material colour
    RT_MATERIAL_OFFSET = 0x020, // also the material-offset surface
    RT_EDGES = 0x040, // the triangle edges
    RT_BOUNDARY = 0x080, // the boundary polylines
    RT_FEATURE_LINES = 0x100, // the element's feature lines
    RT_CYLINDER = 0x200, // the cylinder display of fitted cylinders
    RT_COLOR_MAP = 0x400, // colour-map texture coordinates from the deviations
};

} // namespace Vaq::GCAD
