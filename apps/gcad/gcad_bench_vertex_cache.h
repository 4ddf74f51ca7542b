// gcad bench --vertex-cache: the library's vertex cache benchmark on the demo scene, its 61
// lines, the cache size that drew fastest, and at that size the element model's hit ratio
// beside meshoptimizer's own analysis of the same leaves (hit ratio = 1 - ACMR / 3).
#pragma once

namespace Gcad {

// edge: the view's size in pixels; quick: each cache size timed for 0.1 s and 2 frames
// instead of 3 s and 20. Returns the exit status.
int runVertexCacheBench(int edge, bool quick);

} // namespace Gcad
