// Sections in scene files: runs of points, each open or closed, with optional deviations per
// point (a number, drawn as a needle square to the run in the section's plane, or a vector)
// and a tolerance band, and the switches for what is shown. readSection reads the keys of one
// element of kind "section"; createSectionElement builds the element it describes.
#pragma once

#include "apps/scene/scene_json_reader.h"

#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_section_base.h"
#include "gcad/host/cad/vaq_cad_tolerance.h"

#include <memory>
#include <optional>
#include <vector>

namespace Gcad::Scene {

// A plane through a mesh of the file, named by its name: the section is its cut.
struct SectionCut
{
    QString mesh;
    Vaq::BaVec3d<double> point;
    Vaq::BaVec3d<double> normal;
};

struct SectionDescription
{
    // Given, or filled from cut once the named mesh exists.
    Vaq::CAD::SectionRecords<Vaq::BaVec3d<double>> runs;
    std::optional<SectionCut> cut;
    std::vector<bool> closed; // one per run
    // Empty, or one per point of every run: NO_VALUE and a null vector for a point without.
    Vaq::CAD::SectionRecords<float> values;
    Vaq::CAD::SectionRecords<Vaq::BaVec3d<float>> needles;
    Vaq::BaVec3d<double> normal { 0, 0, 1 }; // of the section's plane
    std::optional<Vaq::CAD::Tolerance> tolerance;
    bool points = false;
    bool line = true;
    bool needlesShown = false;
    double needleScale = 1.0;
    double pointSize = 3.0;
    double lineWidth = 1.0;
};

// The keys an element of kind "section" may have.
const QStringList &sectionKeys();
// Throws ImportError through reader: neither or both of "runs" and "cut" given,
// "<where>.runs[i]: a run needs at least two points", deviations or a tolerance beside a cut, a
// deviation list that does not match its run, a plane normal of no length, a tolerance whose
// lower limit is not below its upper one.
SectionDescription readSection(const JsonReader &reader, const QJsonObject &element, const QString &where);

// A section (a 2-D inspection with its band when a tolerance is given) coloured by its values
// through the views' legend.
std::unique_ptr<Vaq::CAD::SectionBase> createSectionElement(const SectionDescription &description);

} // namespace Gcad::Scene
