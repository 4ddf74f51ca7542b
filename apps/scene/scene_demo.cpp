#include "apps/scene/scene_demo.h"

#include "apps/scene/scene_labels.h"
#include "apps/scene/scene_points.h"

#include "gcad/host/cad/vaq_cad_distance.h"
#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cad/vaq_cad_primitive_circle.h"
#include "gcad/host/cad/vaq_cad_primitive_plane.h"
#include "gcad/host/cad/vaq_cad_primitive_solid.h"
#include "gcad/host/cad/vaq_cad_strain.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace Gcad::Scene {

namespace {

using Vaq::BaVec3d;
using Vaq::Color;
using Vaq::CAD::ElementCreator;
using Vaq::CAD::PolyBase;
using Vaq::CAD::StageIdentifier;

constexpr unsigned FINE = 601; // 2 x 600 x 600 = 720000 triangles
constexpr unsigned COARSE = 13; // large enough facets to see flat shading
constexpr double GRID = 0.625; // centre offset of the tiles; each covers 1 x 1, so 0.25 apart
constexpr double WAVE_AMPLITUDE = 0.12;
// The scan beside the tiles: 1024 x 2048 points over 1 x 2.25, every NEEDLE_SPACING-th point
// of every NEEDLE_SPACING-th row with a deviation needle.
constexpr unsigned SCAN_COLUMNS = 1024, SCAN_ROWS = 2048;
constexpr double SCAN_X = 1.25, SCAN_WIDTH = 1.0, SCAN_HEIGHT = 2.25;
constexpr unsigned NEEDLE_SPACING = 64;
constexpr double DEVIATION_AMPLITUDE = 0.05;
// The section along the wave's edge beside the scan: one point every 1/SECTION_STEPS.
constexpr unsigned SECTION_STEPS = 48;
constexpr double SECTION_GAP = 0.0625;
// The strain panel left of the tiles, as large as the scan: a pressed bulge whose strain peaks
// at its centre, with a crack-like hole, drawn with isolines and their labels.
constexpr unsigned STRAIN_COLUMNS = 81, STRAIN_ROWS = 181;
constexpr double STRAIN_X = -2.25, STRAIN_PEAK = 0.3;

// A mesh over the unit square centred at (x, y) with the dome's grid of n x n vertices; height
// maps each dome vertex (x and y from -0.5 to 0.5, the dome's z) to the new z.
std::unique_ptr<PolyBase> heightField(ElementCreator::Element_t type, const QString &name, unsigned n,
    double x, double y, const std::function<double(const BaVec3d<double> &)> &height)
{
    const std::unique_ptr<PolyBase> dome = Vaq::CAD::createDomeMesh(n, false);
    const Vaq::CAD::PolyBaseData &grid = *dome->getData(StageIdentifier::NO_STAGE);
    std::vector<BaVec3d<double>> vertices;
    vertices.reserve(grid.vertices.size());
    for (const BaVec3d<double> &v : grid.vertices)
        vertices.emplace_back(x + v.x, y + v.y, height(v));
    auto mesh = std::make_unique<PolyBase>(type, name);
    mesh->setMesh(std::move(vertices), grid.triangles);
    // Nothing in the demo draws the boundary; a fine mesh would only spend time on it.
    mesh->needsNoBoundary(true);
    return mesh;
}

double ripple(const BaVec3d<double> &v)
{
    const double r = std::hypot(v.x, v.y);
    return 0.12 * std::cos(18.0 * r) * std::exp(-3.0 * r);
}

double wave(const BaVec3d<double> &v)
{
    return WAVE_AMPLITUDE * std::sin(3.0 * std::numbers::pi * v.x) * std::cos(2.0 * std::numbers::pi * v.y);
}

// Hue by the angle around the ripple's centre, fading to white at the centre.
std::vector<Color> rippleColors(const PolyBase &mesh, double x, double y)
{
    std::vector<Color> colors;
    for (const BaVec3d<double> &v : mesh.getData(StageIdentifier::NO_STAGE)->vertices) {
        const double angle = std::atan2(v.y - y, v.x - x);
        const double saturation = std::min(1.0, 2.0 * std::hypot(v.x - x, v.y - y));
        const QColor c
            = QColor::fromHsvF((angle + std::numbers::pi) / (2.0 * std::numbers::pi), saturation, 1.0);
        colors.emplace_back(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
    }
    return colors;
}

// A scanned sheet that bulges out in the middle; its deviation from a flat nominal colours
// it from blue (below) over green to red (above).
std::unique_ptr<Vaq::CAD::PointsBase> scan()
{
    PointCloud cloud;
    const std::size_t count = std::size_t(SCAN_COLUMNS) * SCAN_ROWS;
    cloud.positions.reserve(count);
    cloud.normals.reserve(count);
    cloud.colors.reserve(count);
    cloud.values.assign(count, Vaq::CAD::NO_VALUE);
    cloud.deviations.assign(count, {});
    for (unsigned row = 0; row < SCAN_ROWS; ++row) {
        const double v = row / double(SCAN_ROWS - 1) - 0.5;
        for (unsigned column = 0; column < SCAN_COLUMNS; ++column) {
            const double u = column / double(SCAN_COLUMNS - 1) - 0.5;
            // z = a cos(pi u) cos(pi v), with its gradient for the normal.
            const double cu = std::cos(std::numbers::pi * u), cv = std::cos(std::numbers::pi * v);
            const double z = DEVIATION_AMPLITUDE * (2.0 * cu * cv - 1.0);
            const double dzdx = -2.0 * DEVIATION_AMPLITUDE * std::numbers::pi * std::sin(std::numbers::pi * u)
                * cv / SCAN_WIDTH;
            const double dzdy = -2.0 * DEVIATION_AMPLITUDE * std::numbers::pi * cu
                * std::sin(std::numbers::pi * v) / SCAN_HEIGHT;
            const BaVec3d<float> normal = BaVec3d<float>(float(-dzdx), float(-dzdy), 1.0f).normalized();
            cloud.positions.emplace_back(SCAN_X + SCAN_WIDTH * (u + 0.5), SCAN_HEIGHT * v, z);
            cloud.normals.push_back(normal);
            const double t = std::clamp(0.5 + 0.5 * z / DEVIATION_AMPLITUDE, 0.0, 1.0);
            const QColor c = QColor::fromHsvF(0.66 * (1.0 - t), 0.9, 1.0);
            cloud.colors.emplace_back(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
            if (row % NEEDLE_SPACING == NEEDLE_SPACING / 2 && column % NEEDLE_SPACING == NEEDLE_SPACING / 2) {
                const std::size_t i = cloud.positions.size() - 1;
                cloud.values[i] = float(z);
                cloud.deviations[i] = normal * float(z);
            }
        }
    }
    auto points = createPointsElement(std::move(cloud), QStringLiteral("demo scan"));
    // Deviations of a few hundredths: long enough needles to see them.
    points->getElemProperties()->needleScale = 4.0;
    points->getElemProperties()->pointSize = 2.0;
    return points;
}

// Geometry fitted to the tiles, drawn half transparent over them: a sphere through the dome's
// top and the middles of its edges (radius 0.5 about the middle of its base), a plane through
// the ripple's mean height, a circle over the wave's crests and a cylinder along the facets'
// ridge.
void addFittedGeometry(Scene &scene)
{
    const auto add = [&scene](std::unique_ptr<Vaq::CAD::Element> element, const QString &name,
                         const QString &label, const Color &color) {
        element->setFileName(name);
        element->getElemProperties()->color = color;
        element->getElemProperties()->transparency = 0.45;
        element->getElemProperties()->lineWidth = 2.0;
        attachLabel(*element, label);
        scene.addElement(std::move(element));
    };
    add(std::make_unique<Vaq::CAD::SphereBase>(Vaq::Sphere3d({ -GRID, GRID, 0.0 }, 0.5)),
        QStringLiteral("demo fitted sphere"), QStringLiteral("Fitted sphere"), Color(255, 80, 80));
    add(std::make_unique<Vaq::CAD::PlaneBase>(
            BaVec3d<double>(GRID, GRID, 0.0), BaVec3d<double>(0, 0, 1), 0.9),
        QStringLiteral("demo fitted plane"), QStringLiteral("Fitted plane"), Color(80, 160, 255));
    add(std::make_unique<Vaq::CAD::CircleBase>(
            Vaq::Circle3d({ GRID, -GRID, WAVE_AMPLITUDE }, { 0, 0, 1 }, 0.35)),
        QStringLiteral("demo fitted circle"), QStringLiteral("Fitted circle"), Color(255, 255, 255));
    add(std::make_unique<Vaq::CAD::CylinderBase>(
            Vaq::Cylinder3d({ -GRID, -GRID, 0.25 }, { 0, 1, 0 }, 0.25, 1.0)),
        QStringLiteral("demo fitted cylinder"), QStringLiteral("Fitted cylinder"), Color(120, 255, 160));
}

// A distance between two corners of the tiles, its dimension line pulled out through pull and
// labelled with its length.
std::unique_ptr<Vaq::CAD::DistanceBase> pulledOutDistance(
    const QString &name, const BaVec3d<double> &from, const BaVec3d<double> &to, const BaVec3d<double> &pull)
{
    auto distance = std::make_unique<Vaq::CAD::DistanceBase>(ElementCreator::DISTANCE, from, to);
    distance->setFileName(name);
    distance->getPullOut()->pullTo(pull);
    distance->getElemProperties()->color = Color(255, 255, 255);
    distance->getElemProperties()->lineWidth = 2.0;
    attachLabel(*distance, QString::number(distance->getDistance(), 'f', 3));
    return distance;
}

// A section on the nominal plane along the wave's edge at x (the tile's centre at y), just
// outside it: the wave's height at the edge is its deviation, drawn as an upward or downward
// needle and coloured through the legend (whose range must be set first).
std::unique_ptr<Vaq::CAD::SectionBase> waveSection(double x, double y)
{
    std::vector<BaVec3d<double>> run;
    std::vector<float> values;
    std::vector<BaVec3d<float>> needles;
    for (unsigned i = 0; i <= SECTION_STEPS; ++i) {
        const BaVec3d<double> v(0.5, double(i) / SECTION_STEPS - 0.5, 0.0);
        run.emplace_back(x, y + v.y, 0.0);
        values.push_back(float(wave(v)));
        needles.emplace_back(0.0f, 0.0f, values.back());
    }
    auto section
        = std::make_unique<Vaq::CAD::SectionBase>(ElementCreator::SECTION, QStringLiteral("demo section"));
    section->setSections({ std::move(run) });
    section->setDeviations({ std::move(values) }, { std::move(needles) });
    section->setColorMap(Vaq::Legend2::LegendHandler::getInstance()->getColorMap());
    Vaq::CAD::SectionDisplay &display = section->getDisplay();
    display.points = display.deviationDisplay = display.deviationNeedles = true;
    display.pointSize = 4.0;
    display.needleScale = 2.0;
    display.lineWidth = display.needleLineWidth = 2.0;
    return section;
}

// The strain panel: a pressed bulge with a crack-like hole.
std::unique_ptr<Vaq::CAD::Strain> strainPanel()
{
    std::vector<BaVec3d<double>> positions;
    std::vector<float> values;
    for (unsigned row = 0; row < STRAIN_ROWS; ++row) {
        const double v = row / double(STRAIN_ROWS - 1) - 0.5;
        for (unsigned column = 0; column < STRAIN_COLUMNS; ++column) {
            const double u = column / double(STRAIN_COLUMNS - 1) - 0.5;
            const double bulge = std::exp(-(u * u / 0.06 + v * v / 0.12));
            positions.emplace_back(STRAIN_X + SCAN_WIDTH * (u + 0.5), SCAN_HEIGHT * v, 0.15 * bulge);
            const bool crack = std::abs(u - 0.2) < 0.02 && std::abs(v + 0.25) < 0.08;
            values.push_back(crack ? Vaq::CAD::NO_VALUE : float(STRAIN_PEAK * bulge * (1.0 + 0.3 * u)));
        }
    }
    auto strain = std::make_unique<Vaq::CAD::Strain>(QStringLiteral("demo strain"));
    strain->setGrid(STRAIN_COLUMNS, STRAIN_ROWS, positions, values);
    strain->setColorRange(0.0f, float(STRAIN_PEAK));
    strain->setIsolineValues({ 0.05f, 0.1f, 0.15f, 0.2f, 0.25f });
    Vaq::CAD::ElemProp &properties = *strain->getElemProperties();
    properties.colorMapEnabled = true;
    properties.showBoundary = true;
    properties.strain.isolines = true;
    properties.strain.isolineLabels = true;
    return strain;
}

} // namespace

void addDemoScene(Scene &scene)
{
    auto dome = heightField(ElementCreator::MESH, QStringLiteral("demo dome"), FINE, -GRID, GRID,
        [](const BaVec3d<double> &v) { return v.z; });
    attachLabel(*dome, QStringLiteral("Dome"));
    scene.addMesh(std::move(dome));

    auto coloured
        = heightField(ElementCreator::MESH_SCAN, QStringLiteral("demo ripple"), FINE, GRID, GRID, ripple);
    coloured->setDrawColors(rippleColors(*coloured, GRID, GRID));
    attachLabel(*coloured, QStringLiteral("Ripple, vertex colours"));
    scene.addMesh(std::move(coloured));

    auto mapped = heightField(
        ElementCreator::MESH_COLOR_MAPPED, QStringLiteral("demo wave"), FINE, GRID, -GRID, wave);
    std::vector<float> deviations;
    for (const BaVec3d<double> &v : mapped->getData(StageIdentifier::NO_STAGE)->vertices)
        deviations.push_back(float(v.z));
    mapped->setDeviations(std::move(deviations));
    mapped->getElemProperties()->colorMapEnabled = true;
    Vaq::Legend2::LegendHandler::getInstance()->getColorMap().setDataRange(-WAVE_AMPLITUDE, WAVE_AMPLITUDE);
    attachLabel(*mapped, QStringLiteral("Wave, deviation colour map"));
    scene.addMesh(std::move(mapped));

    auto section = waveSection(GRID + 0.5 + SECTION_GAP, -GRID);
    attachLabel(*section, QStringLiteral("Section, deviation needles"));
    scene.addSection(std::move(section));

    auto facets = heightField(ElementCreator::MESH, QStringLiteral("demo facets"), COARSE, -GRID, -GRID,
        [](const BaVec3d<double> &v) { return v.z; });
    facets->getElemProperties()->smooth = false;
    attachLabel(*facets, QStringLiteral("Facets, flat shading"));
    scene.addMesh(std::move(facets));

    auto points = scan();
    attachLabel(*points, QStringLiteral("Scan, deviation needles"));
    scene.addPoints(std::move(points));

    addFittedGeometry(scene);

    // The width and the height of the four tiles, measured along their outer edges.
    const double edge = GRID + 0.5;
    scene.addElement(pulledOutDistance(
        QStringLiteral("demo width"), { -edge, edge, 0.0 }, { edge, edge, 0.0 }, { 0.0, edge + 0.35, 0.0 }));
    scene.addElement(pulledOutDistance(QStringLiteral("demo height"), { -edge, -edge, 0.0 },
        { -edge, edge, 0.0 }, { -edge - 0.35, 0.0, 0.0 }));
    auto strain = strainPanel();
    attachLabel(*strain, QStringLiteral("Strain, isolines"));
    scene.addElement(std::move(strain));
}

} // namespace Gcad::Scene
