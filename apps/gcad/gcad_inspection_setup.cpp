#include "apps/gcad/gcad_inspection_setup.h"

#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_view_setup.h"

#include "apps/scene/scene_deviation_display.h"
#include "apps/scene/scene_file_section.h"
#include "apps/scene/scene_import.h"
#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_points.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <variant>

namespace Gcad {

namespace {

using Vaq::CAD::NO_VALUE;
using Vaq::CAD::StageIdentifier;

// The share of the nominal's box diagonal searched without --max-distance.
constexpr double DEFAULT_SEARCH_SHARE = 0.02;
// The feet of the actual points a section point averages lie within this share of the search
// distance: near enough to stay local, far enough to find points of a coarse scan.
constexpr double SECTION_RADIUS_SHARE = 0.25;

Vaq::CAD::PolyBase &nominalOf(const Scene::Scene &scene, const QString &option)
{
    if (scene.getMeshes().size() != 1)
        throw UsageError { option,
            QStringLiteral("needs the nominal part as the one mesh of the files (they hold %1)")
                .arg(scene.getMeshes().size()) };
    return *scene.getMeshes().front();
}

// The section element that shows a cut, named after its option: the runs of two points or more,
// and with deviations their points in the legend's colours and their needles, the largest
// NEEDLE_SHARE of diagonal long. Null when nothing of it can be drawn.
constexpr double NEEDLE_SHARE = 0.04;
std::unique_ptr<Vaq::CAD::SectionBase> sectionElement(
    const Scene::DeviationSection &cut, const QString &name, double diagonal)
{
    Scene::SectionDescription description;
    description.normal = cut.plane.getNormal();
    double largest = 0.0;
    for (std::size_t r = 0; r < cut.runs.size(); ++r) {
        if (cut.runs[r].size() < 2)
            continue;
        description.runs.push_back(cut.runs[r]);
        description.closed.push_back(cut.closed[r]);
        description.values.push_back(cut.values[r]);
        description.needles.push_back(cut.needles[r]);
        for (const float v : cut.values[r]) {
            if (v != NO_VALUE)
                largest = std::max(largest, double(std::abs(v)));
        }
    }
    if (description.runs.empty())
        return nullptr;
    if (largest == 0.0) {
        description.values.clear();
        description.needles.clear();
    } else {
        description.points = description.needlesShown = true;
        description.needleScale = NEEDLE_SHARE * diagonal / largest;
    }
    description.lineWidth = 2.0;
    auto section = Scene::createSectionElement(description);
    section->setFileName(name);
    return section;
}

} // namespace

SectionOption parseSection(const QString &option, const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([xyzXYZ])=(.+)$"));
    const QRegularExpressionMatch match = form.match(text);
    double value = 0.0;
    if (!match.hasMatch() || !parseFiniteNumber(match.captured(2), &value))
        throw UsageError {
            option,
            QStringLiteral("'%1' is not AXIS=VALUE with AXIS x, y or z and VALUE a finite number").arg(text)
        };
    Vaq::BaVec3d<double> normal;
    normal[match.captured(1).toLower().at(0).toLatin1() - 'x'] = 1.0;
    return { text, Vaq::Plane3d(normal * value, normal) };
}

bool InspectionSetup::readArgument(const QString &argument, ArgumentReader &reader)
{
    if (argument == "--actual")
        actual = reader.value(argument, QStringLiteral("mesh or point file"));
    else if (argument == "--deviation")
        deviation = true;
    else if (argument == "--max-distance") {
        const QString text = reader.value(argument, QStringLiteral("distance"));
        double distance = 0.0;
        if (!parseFiniteNumber(text, &distance) || distance <= 0.0)
            throw UsageError { argument, QStringLiteral("'%1' is not a positive distance").arg(text) };
        maxDistance = distance;
    } else if (argument == "--section")
        sections.push_back(parseSection(argument, reader.value(argument, QStringLiteral("AXIS=VALUE"))));
    else
        return false;
    return true;
}

void InspectionSetup::check() const
{
    if (actual.isEmpty() && deviation)
        throw UsageError { QStringLiteral("--deviation"),
            QStringLiteral("needs the actual data (--actual)") };
    if (actual.isEmpty() && maxDistance)
        throw UsageError { QStringLiteral("--max-distance"),
            QStringLiteral("needs the actual data (--actual)") };
}

std::vector<Scene::DeviationSection> InspectionSetup::apply(Scene::Scene &scene, const ViewSetup &setup) const
{
    if (!isSet())
        return {};
    Vaq::CAD::PolyBase &nominal
        = nominalOf(scene, actual.isEmpty() ? QStringLiteral("--section") : QStringLiteral("--actual"));
    const Vaq::CAD::PolyBaseData &nominalData = *nominal.getData(StageIdentifier::NO_STAGE);

    Scene::Deviations deviations;
    Vaq::Box3d box;
    nominal.getBoundingBox(StageIdentifier::NO_STAGE, Vaq::CAD::BBT_GEOMETRY, Vaq::CAD::CCS_WORLD, box);
    double searched = 0.0;
    if (!actual.isEmpty()) {
        Scene::ImportedData data;
        try {
            data = Scene::importFile(actual, setup.creaseAngle);
        } catch (const Scene::ImportError &e) {
            throw UsageError { e.fileName(), e.reason() };
        }
        auto *cloud = std::get_if<Scene::PointCloud>(&data);
        auto *mesh = std::get_if<std::unique_ptr<Vaq::CAD::PolyBase>>(&data);
        searched = maxDistance.value_or(DEFAULT_SEARCH_SHARE * box.getSize().length());
        // Shown beside the nominal without sections, the actual data needs no deviations.
        if (deviation || !sections.empty()) {
            deviations = Scene::computeDeviations(nominalData,
                cloud ? cloud->positions : (*mesh)->getData(StageIdentifier::NO_STAGE)->vertices, searched);
            if (deviations.withValue == 0)
                throw UsageError { actual,
                    QStringLiteral("no point lies within %1 of the nominal part (see --max-distance)")
                        .arg(searched, 0, 'g', 4) };
        }
        if (deviations.withValue > 0)
            Scene::setDeviationRange(deviations.values);
        if (deviation) {
            nominal.setVisible(false);
            if (cloud)
                scene.addPoints(Scene::createDeviationPoints(std::move(*cloud), deviations.values, actual));
            else
                scene.addMesh(Scene::createDeviationMesh(**mesh, deviations.values));
        } else if (cloud) {
            scene.addPoints(Scene::createPointsElement(std::move(*cloud), actual));
        } else {
            scene.addMesh(std::move(*mesh));
        }
        scene.applyDisplayOptions(setup.display);
    }

    const Scene::SectionCutter cutter(
        nominal, actual.isEmpty() ? nullptr : &deviations, SECTION_RADIUS_SHARE * searched);
    std::vector<Scene::DeviationSection> cut;
    for (const SectionOption &section : sections) {
        cut.push_back(cutter.cut(section.plane));
        if (auto element = sectionElement(
                cut.back(), QStringLiteral("section %1").arg(section.text), box.getSize().length()))
            scene.addSection(std::move(element));
    }
    if (setup.labels)
        scene.labelElements();
    return cut;
}

void printSectionSummary(
    const std::vector<SectionOption> &options, const std::vector<Scene::DeviationSection> &sections)
{
    for (std::size_t s = 0; s < sections.size(); ++s) {
        const Scene::DeviationSection &section = sections[s];
        const QByteArray name = options[s].text.toUtf8();
        if (section.runs.empty()) {
            std::fprintf(stderr, "section %s: empty (the plane misses the nominal part)\n", name.constData());
            continue;
        }
        std::size_t closed = 0, withValue = 0;
        double sum = 0.0, largest = 0.0;
        for (std::size_t r = 0; r < section.runs.size(); ++r) {
            closed += section.closed[r];
            for (const float v : section.values[r]) {
                if (v == NO_VALUE)
                    continue;
                ++withValue;
                sum += v;
                largest = std::max(largest, double(std::abs(v)));
            }
        }
        std::fprintf(stderr, "section %s: %zu run(s) (%zu closed), %zu points", name.constData(),
            section.runs.size(), closed, section.numberOfPoints());
        if (withValue > 0)
            std::fprintf(stderr, ", %zu with a deviation (mean %.4g, largest size %.4g)", withValue,
                sum / double(withValue), largest);
        std::fputc('\n', stderr);
    }
    std::fflush(stderr);
}

} // namespace Gcad
