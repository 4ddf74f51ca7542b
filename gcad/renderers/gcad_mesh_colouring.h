// Which colour data a mesh shows: per-vertex colours, or deviations through the colour map, or
// neither (then its material colours alone). The mesh renderer picks its render types from
// it, and the material of a mesh whose colour data is missing is grey.
#pragma once

#include "gcad/host/cad/vaq_cad_element.h"

namespace Vaq::GCAD {

struct MeshColouring
{
    bool vertexColours = false;
    bool colourMap = false;
};

// By the mesh's kind and its colour-map switch. Nominal, fitted, reference and CAD meshes
// never show vertex colours; colour-mapped kinds show the colour map instead.
MeshColouring getMeshColouring(const CAD::Element &mesh);
// Whether the mesh holds the data its colouring needs in stage; true for a mesh that shows
// no colour data.
bool hasUsableColourData(const CAD::Element &mesh, const CAD::StageIdentifier &stage);

} // namespace Vaq::GCAD
