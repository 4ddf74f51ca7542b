// The dome test mesh that the graphics benchmarks draw: a grid of n x n vertices over the
// unit square around the origin, lifted to a smooth cap, cut into 2 (n - 1)^2 triangles.
#pragma once

#include "gcad/host/cad/vaq_cad_poly_base.h"

#include <memory>

namespace Vaq::CAD {

// Vertex k = i n + j (row i, column j) lies at x = j / (n - 1) - 0.5, y = i / (n - 1) - 0.5,
// z = 0.5 sin(pi j / (n - 1)) sin(pi i / (n - 1)); each grid cell gives the triangles
// (k, k + 1, k + n + 1) and (k, k + n + 1, k + n). With colours, vertex k gets red
// floor(255 j / (n - 1)) and green floor(255 i / (n - 1)). The mesh is of the given kind
// (which decides, say, whether its colours are shown). Normals are computed; the render
// data is left to the caller's updateVisualization. Throws ProgError "dome size out of
// range" unless 2 <= n <= 65535, and what PolyBase throws for a kind that is no mesh.
std::unique_ptr<PolyBase> createDomeMesh(
    unsigned n, bool withColors, ElementCreator::Element_t type = ElementCreator::MESH);

} // namespace Vaq::CAD
