// The views' colour legend as elements that show deviations through the colour map hand it out
// (a colour-mapped mesh, a point set with its colour map switched on): one legend for all,
// titled with the deviation's name and the length unit.
#pragma once

namespace Vaq::GLegend2 {
class GlobalLegend;
}

namespace Vaq::CAD {

// Titles the legend, rescales it from the current LegendHandler and returns it.
GLegend2::GlobalLegend *updateDeviationLegend();

} // namespace Vaq::CAD
