#include "apps/scene/scene_file_measure.h"

#include "apps/scene/scene_labels.h"

#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/cad/vaq_cad_distance.h"
#include "gcad/host/cad/vaq_cad_gps.h"
#include "gcad/host/cad/vaq_cad_measurement.h"

#include <cmath>
#include <map>

namespace Gcad::Scene {

using Vaq::BaVec3d;
using Vaq::CAD::ElementCreator;

namespace {

const std::map<QString, ElementCreator::Element_t> &characteristics()
{
    static const std::map<QString, ElementCreator::Element_t> names = {
        { "datums", ElementCreator::GPS_DATUM_SYSTEM },
        { "flatness", ElementCreator::GPS_FLATNESS },
        { "straightness", ElementCreator::GPS_STRAIGHTNESS },
        { "roundness", ElementCreator::GPS_ROUNDNESS },
        { "cylindricity", ElementCreator::GPS_CYLINDRICITY },
        { "lineProfile", ElementCreator::GPS_LINE_PROFILE },
        { "surfaceProfile", ElementCreator::GPS_SURFACE_PROFILE },
        { "parallelism", ElementCreator::GPS_PARALLELISM },
        { "perpendicularity", ElementCreator::GPS_PERPENDICULARITY },
        { "angularity", ElementCreator::GPS_ANGULARITY },
        { "position", ElementCreator::GPS_POSITION },
        { "concentricity", ElementCreator::GPS_CONCENTRICITY },
        { "symmetry", ElementCreator::GPS_SYMMETRY },
        { "circularRunout", ElementCreator::GPS_CIRCULAR_RUNOUT },
        { "totalRunout", ElementCreator::GPS_TOTAL_RUNOUT },
    };
    return names;
}

MeasurePoint readPoint(
    const JsonReader &reader, const QJsonObject &element, const QString &key, const QString &where)
{
    const QString at = where + '.' + key;
    if (!element.contains(key))
        reader.fail(where, QStringLiteral("no \"%1\" (a position or the name of an element)").arg(key));
    if (element[key].isString())
        return reader.text(element[key], at);
    return reader.vector<double>(element[key], at);
}

} // namespace

const char *const MEASURE_KINDS = "distance, angle, caliper, tolerance";

bool isMeasureKind(const QString &kind)
{
    return kind == QLatin1String("distance") || kind == QLatin1String("angle")
        || kind == QLatin1String("caliper") || kind == QLatin1String("tolerance");
}

QStringList measureKeys(const QString &kind)
{
    const QStringList common = { "kind", "name", "color", "label" };
    if (kind == QLatin1String("distance"))
        return common + QStringList { "from", "to", "pullOut" };
    if (kind == QLatin1String("caliper"))
        return common + QStringList { "from", "to", "pullOut", "normal", "radius", "shrinking" };
    if (kind == QLatin1String("angle"))
        return common + QStringList { "at", "from", "to" };
    return common + QStringList { "at", "characteristic", "tolerance", "datums", "outline" };
}

MeasureDescription readMeasure(
    const JsonReader &reader, const QJsonObject &element, const QString &kind, const QString &where)
{
    MeasureDescription m;
    if (kind == QLatin1String("tolerance")) {
        m.kind = MeasureDescription::TOLERANCE;
        m.at = readPoint(reader, element, "at", where);
        if (!element.contains("characteristic"))
            reader.fail(where, QStringLiteral("no \"characteristic\" (flatness, position, ... or datums)"));
        m.characteristic = reader.text(element["characteristic"], where + ".characteristic");
        if (!characteristics().count(m.characteristic))
            reader.fail(where + ".characteristic",
                QStringLiteral("unknown characteristic '%1'").arg(m.characteristic.left(40)));
        if (element.contains("tolerance"))
            m.tolerance = reader.number(element["tolerance"], where + ".tolerance", 0.0, 1e9);
        if (element.contains("datums"))
            for (const QString &datum : reader.list(element, where, "datums",
                     [&](const QJsonValue &v, const QString &at) { return reader.text(v, at); }))
                m.datums << datum;
        if (element.contains("outline"))
            m.outline = reader.list(element, where, "outline",
                [&](const QJsonValue &v, const QString &at) { return reader.vector<double>(v, at); });
        return m;
    }
    m.from = readPoint(reader, element, "from", where);
    m.to = readPoint(reader, element, "to", where);
    if (kind == QLatin1String("angle")) {
        m.kind = MeasureDescription::ANGLE;
        m.at = readPoint(reader, element, "at", where);
        return m;
    }
    m.kind = kind == QLatin1String("caliper") ? MeasureDescription::CALIPER : MeasureDescription::DISTANCE;
    if (element.contains("pullOut"))
        m.pullOut = reader.vector<double>(element["pullOut"], where + ".pullOut");
    if (element.contains("normal"))
        m.normal = reader.vector<double>(element["normal"], where + ".normal");
    if (element.contains("radius"))
        m.radius = reader.number(element["radius"], where + ".radius", 0.0, 1e9);
    if (element.contains("shrinking"))
        m.shrinking = reader.boolean(element["shrinking"], where + ".shrinking");
    return m;
}

std::unique_ptr<Vaq::CAD::Element> createMeasure(const MeasureDescription &description,
    const ResolvePoint &resolve, const std::optional<QString> &label, const QString &where)
{
    bool resolved = true;
    const auto point = [&](const MeasurePoint &p) {
        if (const auto *position = std::get_if<BaVec3d<double>>(&p))
            return *position;
        const QString &name = std::get<QString>(p);
        if (const std::optional<BaVec3d<double>> found = resolve(name))
            return *found;
        if (resolved)
            VAQ_TRACE("Gcad::Scene::createMeasure",
                QStringLiteral("%1: no element named '%2'; measurement left out").arg(where, name));
        resolved = false;
        return BaVec3d<double>();
    };

    std::unique_ptr<Vaq::CAD::Element> element;
    QString value;
    switch (description.kind) {
    case MeasureDescription::DISTANCE:
    case MeasureDescription::CALIPER: {
        const BaVec3d<double> from = point(description.from), to = point(description.to);
        std::unique_ptr<Vaq::CAD::DistanceBase> distance;
        if (description.kind == MeasureDescription::CALIPER)
            distance = std::make_unique<Vaq::CAD::DiscCaliper>(
                from, to, description.normal, description.radius, description.shrinking);
        else
            distance = std::make_unique<Vaq::CAD::DistanceBase>(ElementCreator::DISTANCE, from, to);
        if (description.pullOut)
            distance->getPullOut()->pullTo(*description.pullOut);
        value = QString::number(distance->getDistance(), 'f', 3);
        element = std::move(distance);
        break;
    }
    case MeasureDescription::ANGLE: {
        const BaVec3d<double> apex = point(description.at);
        const BaVec3d<double> from = point(description.from) - apex, to = point(description.to) - apex;
        auto angle = std::make_unique<Vaq::CAD::AngleMeasurement>(ElementCreator::ANGLE, apex, from, to);
        angle->setLegLength(std::min(from.length(), to.length()));
        value = QString::number(angle->getAngle() * 180.0 / M_PI, 'f', 2) + QStringLiteral("\u00b0");
        element = std::move(angle);
        break;
    }
    case MeasureDescription::TOLERANCE: {
        const BaVec3d<double> at = point(description.at);
        auto gps = std::make_unique<Vaq::CAD::GpsElement>(characteristics().at(description.characteristic));
        gps->setTolerance(description.tolerance);
        gps->setDatums(description.datums);
        Vaq::CAD::GpsRenderData data;
        data.points.push_back(at);
        if (description.outline.size() >= 3)
            data.planes.push_back(description.outline);
        gps->setRenderData(std::move(data));
        value = gps->getFrameText();
        element = std::move(gps);
        break;
    }
    }
    if (!resolved)
        return nullptr;
    attachLabel(*element, label.value_or(value));
    return element;
}

} // namespace Gcad::Scene
