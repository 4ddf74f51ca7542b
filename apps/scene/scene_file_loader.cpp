#include "apps/scene/scene_file_loader.h"

#include "apps/scene/scene_import.h"
#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_labels.h"
#include "apps/scene/scene_points.h"

#include "gcad/host/base/vaq_plane.h"
#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/cad/vaq_cad_plane_cut.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <vector>

namespace Gcad::Scene {

namespace {

using Vaq::CAD::ElementCreator;
using Vaq::CAD::PolyBase;
using Vaq::CAD::StageIdentifier;

// Larger scene files hold their big data in the mesh and point files they name.
constexpr qint64 LARGEST_SCENE_FILE = qint64(1) << 30;

QByteArray readSceneFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw ImportError(path, QStringLiteral("no such file"));
    if (!info.isFile())
        throw ImportError(path, QStringLiteral("not a regular file"));
    if (info.size() > LARGEST_SCENE_FILE)
        throw ImportError(path,
            QStringLiteral("%1 bytes is too large for a scene file (at most %2)")
                .arg(info.size())
                .arg(LARGEST_SCENE_FILE));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ImportError(path, QStringLiteral("cannot be read (%1)").arg(file.errorString()));
    QByteArray json = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ImportError(path, QStringLiteral("cannot be read (%1)").arg(file.errorString()));
    return json;
}

class Builder
{
public:
    Builder(const QString &path, double creaseAngle)
        : m_path(path)
        , m_folder(QFileInfo(path).dir())
        , m_crease_angle(creaseAngle)
    {
    }

    std::unique_ptr<PolyBase> mesh(MeshDescription &description, const QString &where)
    {
        std::unique_ptr<PolyBase> mesh;
        if (!description.file.isEmpty()) {
            ImportedData data = import(description.file, where);
            if (!std::holds_alternative<std::unique_ptr<PolyBase>>(data))
                fail(where + ".file", description.file + QStringLiteral(": holds points, not a mesh"));
            mesh = std::move(std::get<std::unique_ptr<PolyBase>>(data));
        } else {
            mesh = std::make_unique<PolyBase>(ElementCreator::MESH_SCAN);
            mesh->setMesh(std::move(description.vertices), std::move(description.triangles));
            if (!description.colors.empty())
                mesh->setDrawColors(std::move(description.colors));
            mesh->computeNormals(m_crease_angle);
        }
        Vaq::CAD::ElemProp &properties = *mesh->getElemProperties();
        properties.smooth = !description.flat;
        properties.showEdges = description.edges;
        properties.showPoints = description.vertexPoints;
        return mesh;
    }

    std::unique_ptr<Vaq::CAD::PointsBase> points(PointsDescription &description, const QString &where)
    {
        PointCloud cloud = std::move(description.cloud);
        if (!description.file.isEmpty()) {
            ImportedData data = import(description.file, where);
            if (!std::holds_alternative<PointCloud>(data))
                fail(where + ".file", description.file + QStringLiteral(": holds a mesh, not points"));
            cloud = std::move(std::get<PointCloud>(data));
        }
        auto points = createPointsElement(std::move(cloud), QString());
        const PointsDisplay &display = description.display;
        Vaq::CAD::ElemProp &properties = *points->getElemProperties();
        properties.displayMode = display.mode;
        properties.pointSize = properties.markerSize = properties.crossSize = display.pointSize;
        properties.showIdentifiers = display.ids;
        properties.showNormals = display.normals;
        properties.deviationNeedles = display.needles;
        properties.needleScale = display.needleScale;
        return points;
    }

    [[noreturn]] void fail(const QString &where, const QString &why) const
    {
        throw ImportError(m_path, where + QStringLiteral(": ") + why);
    }

private:
    ImportedData import(const QString &file, const QString &where) const
    {
        try {
            return importFile(QDir::cleanPath(m_folder.absoluteFilePath(file)), m_crease_angle);
        } catch (const ImportError &e) {
            fail(where + ".file", file + QStringLiteral(": ") + e.reason());
        }
    }

    const QString &m_path;
    QDir m_folder;
    double m_crease_angle;
};

// The element's own name, else its file's, else "<kind> <number>" counting from 1.
QString nameOf(const ElementDescription &element, const QString &file, const char *kind, std::size_t index)
{
    if (!element.name.isEmpty())
        return element.name;
    if (!file.isEmpty())
        return QFileInfo(file).fileName();
    return QStringLiteral("%1 %2").arg(QLatin1String(kind)).arg(index + 1);
}

// The measurements of the scene, their named points the connector points of the meshes and point
// sets of those names; one left out where a name is not found.
std::vector<std::unique_ptr<Vaq::CAD::Element>> createMeasures(SceneDescription &description,
    const std::vector<std::unique_ptr<PolyBase>> &meshes,
    const std::vector<std::unique_ptr<Vaq::CAD::PointsBase>> &pointSets)
{
    const ResolvePoint resolve = [&](const QString &name) -> std::optional<Vaq::BaVec3d<double>> {
        const auto connector = [&](const Vaq::CAD::Element &e) -> std::optional<Vaq::BaVec3d<double>> {
            return e.getFileName() == name ? connectorPoint(e, Vaq::CAD::StageIdentifier::NO_STAGE)
                                           : std::nullopt;
        };
        for (const auto &mesh : meshes)
            if (const auto p = connector(*mesh))
                return p;
        for (const auto &points : pointSets)
            if (const auto p = connector(*points))
                return p;
        return std::nullopt;
    };
    std::vector<std::unique_ptr<Vaq::CAD::Element>> measures;
    for (std::size_t i = 0; i < description.elements.size(); ++i) {
        ElementDescription &element = description.elements[i];
        const auto *measure = std::get_if<MeasureDescription>(&element.data);
        if (!measure)
            continue;
        const QString where = QStringLiteral("elements[%1]").arg(i);
        std::unique_ptr<Vaq::CAD::Element> created = createMeasure(*measure, resolve, element.label, where);
        if (!created)
            continue;
        static const char *const KINDS[] = { "distance", "angle", "caliper", "tolerance" };
        created->setFileName(nameOf(element, QString(), KINDS[measure->kind], i));
        if (element.color)
            created->getElemProperties()->color = *element.color;
        measures.push_back(std::move(created));
    }
    return measures;
}

// The section element of the file's element i, with its name and colour.
std::unique_ptr<Vaq::CAD::SectionBase> namedSection(
    const ElementDescription &element, const SectionDescription &section, std::size_t i)
{
    auto created = createSectionElement(section);
    created->setFileName(nameOf(element, QString(), "section", i));
    if (element.color)
        created->getElemProperties()->datasetColor = *element.color;
    return created;
}

// Fills the runs of a section given by a cut through a mesh of the file. False,
// with one line on the output, when there is no such mesh or the plane misses it: the section
// is left out and the rest of the scene shown.
bool cutSection(
    SectionDescription &section, const std::vector<std::unique_ptr<PolyBase>> &meshes, const QString &where)
{
    const auto named = std::find_if(meshes.begin(), meshes.end(),
        [&](const auto &mesh) { return mesh->getFileName() == section.cut->mesh; });
    QString missing;
    if (named == meshes.end()) {
        missing = QStringLiteral("no mesh named '%1'").arg(section.cut->mesh);
    } else {
        const Vaq::Plane3d plane(section.cut->point, section.cut->normal);
        for (Vaq::CAD::PlaneCutRun &run : Vaq::CAD::cutWithPlane(**named, StageIdentifier::NO_STAGE, plane)) {
            section.runs.push_back(std::move(run.points));
            section.closed.push_back(run.closed);
        }
        if (section.runs.empty())
            missing = QStringLiteral("the plane misses '%1'").arg(section.cut->mesh);
    }
    if (missing.isEmpty())
        return true;
    VAQ_TRACE(
        "Gcad::Scene::loadSceneFile", QStringLiteral("%1.cut: %2; section left out").arg(where, missing));
    return false;
}

} // namespace

ViewDescription loadSceneFile(const QString &path, Scene &scene, double creaseAngle)
{
    SceneDescription description = parseSceneFile(readSceneFile(path), path);
    Builder builder(path, creaseAngle);
    std::vector<std::unique_ptr<PolyBase>> meshes;
    std::vector<std::unique_ptr<Vaq::CAD::PointsBase>> pointSets;
    std::vector<std::unique_ptr<Vaq::CAD::Element>> primitives;
    std::vector<std::unique_ptr<Vaq::CAD::SectionBase>> sections;
    std::vector<std::unique_ptr<Vaq::CAD::Element>> others;
    for (std::size_t i = 0; i < description.elements.size(); ++i) {
        ElementDescription &element = description.elements[i];
        const QString where = QStringLiteral("elements[%1]").arg(i);
        Vaq::CAD::Element *added = nullptr;
        if (std::holds_alternative<MeasureDescription>(element.data))
            continue; // built below, once the elements it names exist
        if (auto *mesh = std::get_if<MeshDescription>(&element.data)) {
            meshes.push_back(builder.mesh(*mesh, where));
            added = meshes.back().get();
            added->setFileName(nameOf(element, mesh->file, "mesh", i));
            if (element.color) {
                meshes.back()->getElemProperties()->color = *element.color;
                meshes.back()->getElemProperties()->meshFrontColor = *element.color;
            }
        } else if (auto *primitive = std::get_if<PrimitiveDescription>(&element.data)) {
            primitives.push_back(primitive->create());
            added = primitives.back().get();
            added->setFileName(nameOf(element, QString(), qPrintable(primitive->kind), i));
            // Points (type 7) show their point colour, the others their colour.
            if (element.color)
                added->getElemProperties()->color = added->getElemProperties()->pointColor = *element.color;
        } else if (auto *section = std::get_if<SectionDescription>(&element.data)) {
            if (section->cut)
                continue; // cut below, once the meshes are in the scene with their spatial trees
            sections.push_back(namedSection(element, *section, i));
            added = sections.back().get();
        } else if (auto *strain = std::get_if<StrainDescription>(&element.data)) {
            others.push_back(createStrainElement(*strain));
            added = others.back().get();
            added->setFileName(nameOf(element, QString(), "strain", i));
            if (element.color)
                added->getElemProperties()->color = *element.color;
        } else {
            auto &points = std::get<PointsDescription>(element.data);
            pointSets.push_back(builder.points(points, where));
            added = pointSets.back().get();
            added->setFileName(nameOf(element, points.file, "points", i));
            if (element.color)
                pointSets.back()->getElemProperties()->datasetColor = *element.color;
        }
        if (element.label || description.labels)
            attachLabel(*added, element.label.value_or(added->getFileName()));
    }
    std::vector<std::unique_ptr<Vaq::CAD::Element>> measures = createMeasures(description, meshes, pointSets);
    for (auto &mesh : meshes)
        scene.addMesh(std::move(mesh));
    for (auto &points : pointSets)
        scene.addPoints(std::move(points));
    for (auto &primitive : primitives)
        scene.addElement(std::move(primitive));
    for (auto &measure : measures)
        scene.addElement(std::move(measure));
    for (std::size_t i = 0; i < description.elements.size(); ++i) {
        ElementDescription &element = description.elements[i];
        auto *section = std::get_if<SectionDescription>(&element.data);
        if (!section || !section->cut
            || !cutSection(*section, scene.getMeshes(), QStringLiteral("elements[%1]").arg(i)))
            continue;
        sections.push_back(namedSection(element, *section, i));
        if (element.label || description.labels)
            attachLabel(*sections.back(), element.label.value_or(sections.back()->getFileName()));
    }
    for (auto &section : sections)
        scene.addSection(std::move(section));
    for (auto &other : others)
        scene.addElement(std::move(other));

    scene.getOverlay().add(description.overlay);
    return description.view;
}

} // namespace Gcad::Scene
