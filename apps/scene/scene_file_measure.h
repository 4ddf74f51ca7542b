// Measurements and tolerance frames of scene files: distances, angles and disc calipers
// between points given as positions or as the names of other elements of the scene, and
// tolerance frames (GPS tolerances) at such a point. readMeasure checks an element's keys;
// createMeasure builds the element once the elements it names exist.
#pragma once

#include "apps/scene/scene_json_reader.h"

#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_element.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace Gcad::Scene {

// A point of a measurement: a position, or the name of an element, which stands for its
// connector point (the point its label points at).
using MeasurePoint = std::variant<Vaq::BaVec3d<double>, QString>;

struct MeasureDescription
{
    enum Kind { DISTANCE, ANGLE, CALIPER, TOLERANCE };

    Kind kind = DISTANCE;
    MeasurePoint from, to; // distance and caliper: the points; angle: where the legs point
    MeasurePoint at; // angle: the apex; tolerance: the tolerated feature
    std::optional<Vaq::BaVec3d<double>> pullOut; // the dimension line runs through this point
    Vaq::BaVec3d<double> normal { 0.0, 0.0, 1.0 }; // caliper discs
    double radius = 1.0; // caliper discs
    bool shrinking = false;
    QString characteristic; // tolerance: "flatness", "position" ...
    double tolerance = 0.0;
    QStringList datums;
    std::vector<Vaq::BaVec3d<double>> outline; // tolerance: the zone's outline, if given
};

// Whether kind names a measurement kind, and the kinds for messages.
bool isMeasureKind(const QString &kind);
extern const char *const MEASURE_KINDS;
// The keys an element of the kind may have.
QStringList measureKeys(const QString &kind);
// The kind's own keys of element (where is its path, for messages).
MeasureDescription readMeasure(
    const JsonReader &reader, const QJsonObject &element, const QString &kind, const QString &where);

// The element description asks for, its points resolved by position (a name the scene does
// not hold gives none). Null, after one trace line naming where and the missing name, when a
// point cannot be resolved. The element is labelled with label, else with its value.
using ResolvePoint = std::function<std::optional<Vaq::BaVec3d<double>>(const QString &name)>;
std::unique_ptr<Vaq::CAD::Element> createMeasure(const MeasureDescription &description,
    const ResolvePoint &resolve, const std::optional<QString> &label, const QString &where);

} // namespace Gcad::Scene
