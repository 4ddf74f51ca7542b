// The demo scene: what `gcad render` draws when no file is given. Four height fields on a
// 2 x 2 grid show the mesh pipeline at work: a plain smooth dome, a ripple with vertex
// colours, a wave colour-mapped by its deviation values through the legend, and a coarse
// dome drawn flat so that its facets show. The three fine ones have 601 x 601 vertices and
// 720000 triangles each, 2.16 million in all. Beside them lies a scan of 2.1 million coloured
// points with deviation needles on a sparse grid of them, a section across the wave with
// its deviations as needles and legend colours, and over the tiles fitted geometry (a sphere,
// a plane, a circle and a cylinder) and two distances. Each element carries a label that says what it
// shows; the wave brings the colour legend into the view.
#pragma once

#include "apps/scene/scene.h"

namespace Gcad::Scene {

// Adds the demo meshes, the scan and the fitted geometry, two distances, the section to scene and sets the
// data range of the current legend (Vaq::Legend2::LegendHandler::getInstance) to the range of the wave's
// deviations.
void addDemoScene(Scene &scene);

} // namespace Gcad::Scene
