// The order in which a flat leaf's triangle lists visit their provoking vertices: bands
// across the leaf, one after the other, so that every stretch of a list covers a compact
// patch. A patch's triangles face nearly one way, so a pass that culls one side can skip
// whole runs of them, and they share corners within reach of the vertex cache.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <cstdint>
#include <vector>

namespace Vaq::GCAD {

// A permutation of the indices of positions, the vertices of triangleCount triangles with
// three indices each in corners. Of the two axes across the one the triangles face most, the
// one along which the positions' own order moves most is cut into bands bandWidth mean vertex
// spacings wide; each band is walked along the other axis in rows one spacing high, each row
// in the positions' order. A stretch of bandWidth^2 vertices thus covers about a square of
// that many. Positions that span no area keep their order; those without a finite position
// go last.
std::vector<uint32_t> bandOrder(const std::vector<BaVec3d<double>> &positions, const uint16_t *corners,
    std::size_t triangleCount, unsigned bandWidth);

} // namespace Vaq::GCAD
