// StrainDisplay: what a strain grid, a strain section and a strain stage point show beside
// the switches every element has (points, surface, edges, boundary, material side, colour
// map): the direction vectors, the isolines and the section's points, with their colours.
#pragma once

#include "gcad/host/base/vaq_color.h"

namespace Vaq::CAD {

struct StrainDisplay
{
    // Facets whose points have no value.
    Color noValueColor { 128, 128, 128 };
    // The local grid directions, the principal strain directions and the displacements, as
    // lines of vectorScale model units per unit of vector.
    bool coordinateDirections = false;
    bool majorDirections = false;
    bool minorDirections = false;
    bool displacementDirections = false;
    // Vectors show through the surface (drawn without the depth test).
    bool vectorsThroughSurface = false;
    Color vectorColor { 255, 255, 255 };
    double vectorScale = 1.0;
    // Isolines of the strain at the grid's isoline values: plain, lit by the surface
    // normals, and labelled with their values.
    bool isolines = false;
    bool isolineNormals = false;
    bool isolineLabels = false;
    Color isolineColor { 0, 0, 0 };
    double isolineWidth = 2.0;
    // A strain section's draw points as points and as markers, besides its lines.
    bool sectionPoints = false;
    bool sectionSpheres = false;
};

} // namespace Vaq::CAD
