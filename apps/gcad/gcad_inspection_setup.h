// InspectionSetup: the inspection options of `gcad render`: the actual data measured of the
// nominal part the files show (--actual), drawn colour-mapped by its deviations (--deviation)
// within a search distance (--max-distance), and sections cut through the nominal (--section).
#pragma once

#include "apps/gcad/gcad_options.h"

#include "apps/scene/scene.h"
#include "apps/scene/scene_deviation.h"

#include "gcad/host/base/vaq_plane.h"

#include <QString>

#include <optional>
#include <vector>

namespace Gcad {

struct ViewSetup;

// One --section: the text as given and its plane.
struct SectionOption
{
    QString text;
    Vaq::Plane3d plane;
};

// "AXIS=VALUE", AXIS x, y or z in either case and VALUE a finite number: the plane AXIS = VALUE
// facing along the axis. Throws UsageError for anything else.
SectionOption parseSection(const QString &option, const QString &text);

struct InspectionSetup
{
    QString actual;
    bool deviation = false;
    // Unset: 2 % of the diagonal of the nominal's box.
    std::optional<double> maxDistance;
    std::vector<SectionOption> sections;

    // Takes argument (with its value from reader) when it is one of --actual, --deviation,
    // --max-distance, --section; false for any other.
    bool readArgument(const QString &argument, ArgumentReader &reader);
    // Throws UsageError for --deviation or --max-distance without --actual.
    void check() const;
    bool isSet() const { return !actual.isEmpty() || !sections.empty(); }

    // With setup's files loaded into scene (their one mesh is the nominal): loads the actual
    // file and, with --deviation, adds it colour-mapped by its deviations in place of the
    // nominal, which is hidden; without, beside it. Labels and display options of setup
    // reach the new element. Cuts the sections and returns them (with the deviations of the
    // actual data near them when it is given). UsageError when the files hold no single mesh,
    // for an actual file that cannot be read, and when deviations are asked for (--deviation
    // or sections) but no actual point lies within the search distance.
    std::vector<Scene::DeviationSection> apply(Scene::Scene &scene, const ViewSetup &setup) const;
};

// One line per section on standard error: its runs and points and, where it has deviations,
// their mean and largest size; an empty section says so.
void printSectionSummary(
    const std::vector<SectionOption> &options, const std::vector<Scene::DeviationSection> &sections);

} // namespace Gcad
