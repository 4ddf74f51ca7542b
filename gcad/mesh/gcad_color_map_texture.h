// ColorMapTexture: the colour-map textures of colour-mapped meshes, one per element. Row 0
// holds the legend's scale resampled to the texture width, row 1 the special colours (no
// value, unusable tolerance), so that the coordinates a GPU node stores (s along the scale,
// t = 0 or the special row) pick a vertex's colour. Cards without multitexturing also get a
// dimmed copy that marks selected triangles. GUI thread, shared context current.
#pragma once

#include "gcad/host/base/vaq_color.h"

#include <vector>

namespace Vaq::CAD {
class Element;
}
namespace Vaq::GL {
class Texture;
}
namespace Vaq::Legend2 {
class LegendHandler;
}

namespace Vaq::GCAD {

class ColorMapTexture
{
public:
    // The 2 x n texels, row 0 first, for the legend's n render colours. Without tolerance
    // mode: the scale, then the uncomputed colour. In tolerance mode: the three bands, then
    // the colour of unusable tolerances on the first half and of missing values on the rest;
    // without tolerance data both rows show missing values. fallback stands in for each
    // special colour the legend leaves unset. All opaque.
    static std::vector<Color> createTexels(
        const Legend2::LegendHandler &legend, const Color &fallback, bool toleranceMode, bool toleranceData);
    // The texels of the dimmed copy: each channel times (120, 120, 120, 128) / 255, rounded.
    static std::vector<Color> dim(std::vector<Color> texels);

    // Builds element's texture (again) from the current legend, first resampled to the
    // widest texture the card takes: nodes must be prepared after this. fallback: the
    // element's colour. False, with no texture kept, when none can be made.
    static bool build(const CAD::Element *element, bool toleranceMode, bool toleranceData);
    // The element's texture or its dimmed copy; null when not built (the dimmed copy is
    // built only where multitexturing is not possible).
    static GL::Texture *get(const CAD::Element *element, bool dimmed = false);
    // Deletes the element's textures (the element goes away).
    static void remove(const CAD::Element *element);
};

} // namespace Vaq::GCAD
