#include "apps/scene/scene_file_section.h"

#include "gcad/host/cad/vaq_cad_section_insp2d.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"

#include <QJsonArray>

namespace Gcad::Scene {

namespace {

using Vaq::BaVec3d;
using Vaq::CAD::NO_VALUE;

// One deviation entry: null (no value), a number (along the run's left normal) or a vector.
void readDeviation(const JsonReader &reader, const QJsonValue &value, const QString &where,
    const BaVec3d<float> &left, float *deviation, BaVec3d<float> *needle)
{
    if (value.isNull()) {
        *deviation = NO_VALUE;
        *needle = BaVec3d<float>();
    } else if (value.isArray()) {
        *needle = reader.vector<float>(value, where);
        // Its length, negative where it points to the run's right.
        *deviation = needle->dot(left) < 0.0f ? -needle->length() : needle->length();
    } else {
        const double limit = 1e30;
        *deviation = float(reader.number(value, where, -limit, limit));
        *needle = left * *deviation;
    }
}

// The display switches of a section.
void readSectionDisplay(
    const JsonReader &reader, const QJsonObject &element, const QString &where, SectionDescription &section)
{
    if (element.contains("points"))
        section.points = reader.boolean(element["points"], where + ".points");
    if (element.contains("line"))
        section.line = reader.boolean(element["line"], where + ".line");
    section.needlesShown = !section.values.empty();
    if (element.contains("needles"))
        section.needlesShown = reader.boolean(element["needles"], where + ".needles");
    if (element.contains("needleScale"))
        section.needleScale = reader.number(element["needleScale"], where + ".needleScale", -1e6, 1e6);
    if (element.contains("pointSize"))
        section.pointSize = reader.number(element["pointSize"], where + ".pointSize", 1.0, 100.0);
    if (element.contains("lineWidth"))
        section.lineWidth = reader.number(element["lineWidth"], where + ".lineWidth", 1.0, 100.0);
}

} // namespace

const QStringList &sectionKeys()
{
    static const QStringList keys = { "kind", "name", "color", "label", "runs", "cut", "closed", "deviations",
        "normal", "tolerance", "points", "line", "needles", "needleScale", "pointSize", "lineWidth" };
    return keys;
}

SectionDescription readSection(const JsonReader &reader, const QJsonObject &element, const QString &where)
{
    SectionDescription section;
    if (element.contains("cut") == element.contains("runs"))
        reader.fail(where, QStringLiteral("a section needs either \"runs\" or \"cut\""));
    if (element.contains("cut")) {
        for (const char *key : { "closed", "deviations", "tolerance" }) {
            if (element.contains(key))
                reader.fail(where + '.' + key, QStringLiteral("not allowed beside \"cut\""));
        }
        const QString at = where + ".cut";
        const QJsonObject cut = reader.object(element["cut"], at, { "mesh", "point", "normal" });
        for (const char *key : { "mesh", "point", "normal" }) {
            if (!cut.contains(key))
                reader.fail(at, QStringLiteral("no \"%1\"").arg(key));
        }
        section.cut = SectionCut { reader.text(cut["mesh"], at + ".mesh"),
            reader.vector<double>(cut["point"], at + ".point"),
            reader.vector<double>(cut["normal"], at + ".normal") };
        if (!(section.cut->normal.length() > 0.0))
            reader.fail(at + ".normal", QStringLiteral("the plane normal has no length"));
        section.normal = section.cut->normal;
        readSectionDisplay(reader, element, where, section);
        return section;
    }
    section.runs = reader.list(element, where, "runs", [&](const QJsonValue &v, const QString &at) {
        const auto position
            = [&](const QJsonValue &p, const QString &pat) { return reader.vector<double>(p, pat); };
        std::vector<BaVec3d<double>> run;
        const QJsonArray points = reader.array(v, at);
        for (qsizetype i = 0; i < points.size(); ++i)
            run.push_back(position(points[i], JsonReader::indexed(at, i)));
        if (run.size() < 2)
            reader.fail(at, QStringLiteral("a run needs at least two points"));
        return run;
    });
    if (section.runs.empty())
        reader.fail(where + ".runs", QStringLiteral("no runs"));
    section.closed.assign(section.runs.size(), false);
    if (element.contains("closed")) {
        const QJsonValue closed = element["closed"];
        if (closed.isBool()) {
            section.closed.assign(section.runs.size(), closed.toBool());
        } else {
            section.closed = reader.perPoint(element, where, "closed", section.runs.size(),
                [&](const QJsonValue &v, const QString &at) { return reader.boolean(v, at); });
        }
    }
    if (element.contains("normal")) {
        section.normal = reader.vector<double>(element["normal"], where + ".normal");
        if (!(section.normal.length() > 0.0))
            reader.fail(where + ".normal", QStringLiteral("the plane normal has no length"));
    }
    if (element.contains("deviations")) {
        const QString at = where + ".deviations";
        const QJsonArray runs = reader.array(element["deviations"], at);
        if (std::size_t(runs.size()) != section.runs.size())
            reader.fail(
                at, QStringLiteral("%1 entries for %2 runs").arg(runs.size()).arg(section.runs.size()));
        for (std::size_t r = 0; r < section.runs.size(); ++r) {
            const QString runAt = JsonReader::indexed(at, qsizetype(r));
            const QJsonArray entries = reader.array(runs[qsizetype(r)], runAt);
            const std::size_t n = section.runs[r].size();
            if (std::size_t(entries.size()) != n)
                reader.fail(runAt, QStringLiteral("%1 entries for %2 points").arg(entries.size()).arg(n));
            const auto left = Vaq::CAD::leftNormals(section.runs[r], section.closed[r], section.normal);
            section.values.emplace_back(n);
            section.needles.emplace_back(n);
            for (std::size_t i = 0; i < n; ++i)
                readDeviation(reader, entries[qsizetype(i)], JsonReader::indexed(runAt, qsizetype(i)),
                    left[i], &section.values[r][i], &section.needles[r][i]);
        }
    }
    if (element.contains("tolerance")) {
        const QString at = where + ".tolerance";
        const QJsonArray band = reader.array(element["tolerance"], at);
        if (band.size() != 2)
            reader.fail(at, QStringLiteral("expected [lower, upper]"));
        const Vaq::CAD::Tolerance tolerance { reader.number(band[0], at + "[0]", -1e30, 1e30),
            reader.number(band[1], at + "[1]", -1e30, 1e30) };
        if (!tolerance.isValid())
            reader.fail(at, QStringLiteral("the lower limit must lie below the upper one"));
        section.tolerance = tolerance;
    }
    readSectionDisplay(reader, element, where, section);
    return section;
}

std::unique_ptr<Vaq::CAD::SectionBase> createSectionElement(const SectionDescription &description)
{
    using Vaq::CAD::ElementCreator;
    std::unique_ptr<Vaq::CAD::SectionBase> section;
    if (description.tolerance) {
        auto inspection = std::make_unique<Vaq::CAD::SectionInsp2d>(ElementCreator::SECTION_INSPECTION_2D);
        inspection->setSections(description.runs, description.closed);
        // The band lies round the section's own segments.
        Vaq::CAD::ToleranceGeometry geometry { description.normal, {} };
        for (std::size_t r = 0; r < description.runs.size(); ++r) {
            const auto &run = description.runs[r];
            const std::size_t segments = description.closed[r] ? run.size() : run.size() - 1;
            for (std::size_t i = 0; i < segments; ++i) {
                if (run[i] != run[(i + 1) % run.size()])
                    geometry.curves.push_back({ run[i], run[(i + 1) % run.size()], {}, 0.0 });
            }
        }
        inspection->setTolerance(*description.tolerance, std::move(geometry));
        inspection->getInsp2dDisplay().tolerance = true;
        section = std::move(inspection);
    } else {
        section = std::make_unique<Vaq::CAD::SectionBase>(ElementCreator::SECTION);
        section->setSections(description.runs, description.closed);
    }
    section->setDeviations(description.values, description.needles);
    if (!description.values.empty()) {
        section->setColorMap(Vaq::Legend2::LegendHandler::getInstance()->getColorMap());
        // A 2-D inspection shows its points in these colours too.
        section->setInsp2dCadColors(section->getColors(Vaq::CAD::StageIdentifier::NO_STAGE));
    }

    for (Vaq::CAD::SectionDisplay *d : { &section->getDisplay(), &section->getInsp2dDisplay() }) {
        d->points = description.points;
        d->polyline = description.line;
        d->deviationDisplay = true;
        d->deviationNeedles = description.needlesShown;
        d->needleScale = description.needleScale;
        d->pointSize = d->actualPointSize = description.pointSize;
        d->lineWidth = d->actualLineWidth = d->needleLineWidth = description.lineWidth;
    }
    return section;
}

} // namespace Gcad::Scene
