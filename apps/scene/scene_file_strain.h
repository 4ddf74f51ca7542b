// The strain grids of scene files (kind "strain"): the grid's size, its points (listed, or laid
// out from an origin and a spacing, flat or curved), one value per point (null for a hole),
// the colour scale and what is shown. readStrain checks and converts, createStrainElement
// builds the element.
#pragma once

#include "apps/scene/scene_json_reader.h"

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_strain.h"

#include <QJsonObject>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace Gcad::Scene {

struct StrainDescription
{
    unsigned width = 0;
    unsigned height = 0;
    // The points row by row; empty when they are laid out from origin and spacing, with
    // z = curvature x (x^2 + y^2) / 2 over the origin.
    std::vector<Vaq::BaVec3d<double>> positions;
    Vaq::BaVec3d<double> origin;
    double spacing[2] = { 1.0, 1.0 };
    double curvature = 0.0;
    std::vector<float> values; // NO_VALUE for a hole
    std::optional<std::pair<float, float>> range; // the values mapped to the ends of the scale
    std::vector<Vaq::Color> colors; // the scale; empty: the element's own
    bool facets = true;
    bool points = false;
    bool lines = false;
    bool boundary = false;
    std::vector<float> isolines;
    bool isolineLabels = false;
};

// The keys an element of kind "strain" may have.
const QStringList &strainKeys();
StrainDescription readStrain(const JsonReader &reader, const QJsonObject &element, const QString &where);
std::unique_ptr<Vaq::CAD::Strain> createStrainElement(const StrainDescription &description);

} // namespace Gcad::Scene
