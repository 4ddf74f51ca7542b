// Labels of a program's elements: a label with a text and a connector to a point of the
// element's own, which the 2-D overlay places automatically beside the element.
#pragma once

#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_element.h"

#include <QString>

#include <cstddef>
#include <optional>

namespace Gcad::Scene {

// How many of an element's points connectorPoint looks at, at most.
inline constexpr std::size_t CONNECTOR_SAMPLES = 4096;

// A point of the element (in its own coordinates) that stands for it: of the mesh vertices or
// set points, the one nearest the middle of its box, searched among at most CONNECTOR_SAMPLES
// of them spread evenly over the data, so that millions cost no more than a few thousand;
// the middle of the box for other kinds. None without a box in stage.
std::optional<Vaq::BaVec3d<double>> connectorPoint(
    const Vaq::CAD::Element &element, const Vaq::CAD::StageIdentifier &stage);

// Gives element the label text (replacing its text when it has one) with its connector at
// connectorPoint for stage and automatic placement.
void attachLabel(Vaq::CAD::Element &element, const QString &text,
    const Vaq::CAD::StageIdentifier &stage = Vaq::CAD::StageIdentifier::NO_STAGE);

} // namespace Gcad::Scene
