#include "apps/scene/scene_file_strain.h"

#include "gcad/host/cad/vaq_cad_no_value.h"

namespace Gcad::Scene {

namespace {

// A grid side, and all the points of a grid: far beyond any measurement, well within memory.
constexpr int64_t LARGEST_SIDE = 100000;
constexpr uint64_t LARGEST_GRID = 50000000;

float value(const JsonReader &reader, const QJsonValue &v, const QString &where)
{
    if (v.isNull())
        return Vaq::CAD::NO_VALUE;
    const double limit = 1e30;
    return float(reader.number(v, where, -limit, limit));
}

bool optionalSwitch(const JsonReader &reader, const QJsonObject &element, const QString &where,
    const char *key, bool otherwise)
{
    return element.contains(key) ? reader.boolean(element[key], where + '.' + key) : otherwise;
}

} // namespace

const QStringList &strainKeys()
{
    static const QStringList KEYS = { "kind", "name", "color", "label", "size", "positions", "origin",
        "spacing", "curvature", "values", "range", "colors", "showFacets", "showPoints", "showLines",
        "showBoundary", "isolines", "isolineLabels" };
    return KEYS;
}

StrainDescription readStrain(const JsonReader &reader, const QJsonObject &element, const QString &where)
{
    StrainDescription strain;
    if (!element.contains("size"))
        reader.fail(where, QStringLiteral("no \"size\" (columns and rows of the grid)"));
    const QJsonArray size = reader.array(element["size"], where + ".size");
    if (size.size() != 2)
        reader.fail(where + ".size", QStringLiteral("expected 2 numbers, not %1").arg(size.size()));
    strain.width = unsigned(reader.integer(size[0], where + ".size[0]", 2, LARGEST_SIDE));
    strain.height = unsigned(reader.integer(size[1], where + ".size[1]", 2, LARGEST_SIDE));
    const uint64_t count = uint64_t(strain.width) * strain.height;
    if (count > LARGEST_GRID)
        reader.fail(where + ".size",
            QStringLiteral("%1 points is too many (at most %2)").arg(count).arg(LARGEST_GRID));

    if (element.contains("positions")) {
        if (element.contains("origin") || element.contains("spacing") || element.contains("curvature"))
            reader.fail(
                where, QStringLiteral("\"positions\" and a laid-out grid (origin, spacing, curvature)"));
        strain.positions = reader.perPoint(element, where, "positions", count,
            [&](const QJsonValue &v, const QString &at) { return reader.vector<double>(v, at); });
    } else {
        if (element.contains("origin"))
            strain.origin = reader.vector<double>(element["origin"], where + ".origin");
        if (element.contains("spacing")) {
            const QJsonArray spacing = reader.array(element["spacing"], where + ".spacing");
            if (spacing.size() != 2)
                reader.fail(
                    where + ".spacing", QStringLiteral("expected 2 numbers, not %1").arg(spacing.size()));
            for (int i = 0; i < 2; ++i)
                strain.spacing[i]
                    = reader.number(spacing[i], JsonReader::indexed(where + ".spacing", i), 1e-9, 1e9);
        }
        if (element.contains("curvature"))
            strain.curvature = reader.number(element["curvature"], where + ".curvature", -1e6, 1e6);
    }

    if (!element.contains("values"))
        reader.fail(where, QStringLiteral("no \"values\" (one per point, null for a hole)"));
    strain.values = reader.perPoint(element, where, "values", count,
        [&](const QJsonValue &v, const QString &at) { return value(reader, v, at); });
    if (element.contains("range")) {
        const QJsonArray range = reader.array(element["range"], where + ".range");
        if (range.size() != 2)
            reader.fail(where + ".range", QStringLiteral("expected 2 numbers, not %1").arg(range.size()));
        const float low = value(reader, range[0], where + ".range[0]");
        const float high = value(reader, range[1], where + ".range[1]");
        if (!(high > low) || high == Vaq::CAD::NO_VALUE)
            reader.fail(where + ".range", QStringLiteral("the second value must be above the first"));
        strain.range = std::make_pair(low, high);
    }
    if (element.contains("colors")) {
        strain.colors = reader.list(element, where, "colors",
            [&](const QJsonValue &v, const QString &at) { return reader.color(v, at); });
        if (strain.colors.empty())
            reader.fail(where + ".colors", QStringLiteral("expected at least one colour"));
    }
    strain.facets = optionalSwitch(reader, element, where, "showFacets", true);
    strain.points = optionalSwitch(reader, element, where, "showPoints", false);
    strain.lines = optionalSwitch(reader, element, where, "showLines", false);
    strain.boundary = optionalSwitch(reader, element, where, "showBoundary", false);
    if (element.contains("isolines"))
        strain.isolines = reader.list(element, where, "isolines",
            [&](const QJsonValue &v, const QString &at) { return float(reader.number(v, at, -1e30, 1e30)); });
    strain.isolineLabels = optionalSwitch(reader, element, where, "isolineLabels", false);
    return strain;
}

std::unique_ptr<Vaq::CAD::Strain> createStrainElement(const StrainDescription &description)
{
    std::vector<Vaq::BaVec3d<double>> positions = description.positions;
    if (positions.empty()) {
        for (unsigned row = 0; row < description.height; ++row) {
            for (unsigned column = 0; column < description.width; ++column) {
                const double x = column * description.spacing[0], y = row * description.spacing[1];
                positions.push_back(description.origin
                    + Vaq::BaVec3d<double>(x, y, description.curvature * (x * x + y * y) / 2.0));
            }
        }
    }
    auto strain = std::make_unique<Vaq::CAD::Strain>();
    strain->setGrid(description.width, description.height, positions, description.values);
    if (description.range)
        strain->setColorRange(description.range->first, description.range->second);
    if (!description.colors.empty())
        strain->setColorMapping(description.colors);
    strain->setIsolineValues(description.isolines);
    Vaq::CAD::ElemProp &properties = *strain->getElemProperties();
    properties.showTriangles = description.facets;
    properties.showPoints = description.points;
    properties.showEdges = description.lines;
    properties.showBoundary = description.boundary;
    properties.colorMapEnabled = true;
    properties.strain.isolines = !description.isolines.empty();
    properties.strain.isolineLabels = description.isolineLabels && !description.isolines.empty();
    return strain;
}

} // namespace Gcad::Scene
