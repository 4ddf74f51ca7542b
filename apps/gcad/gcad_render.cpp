#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"
#include "apps/gcad/gcad_options.h"
#include "apps/gcad/gcad_picture_output.h"

#include "apps/scene/scene_demo.h"
#include "apps/scene/scene_file_loader.h"
#include "apps/scene/scene_image.h"
#include "apps/scene/scene_import.h"
#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_points.h"

#include "gcad/gcad_config.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace Gcad {

namespace {

struct RenderOptions
{
    QStringList files;
    QString output = QStringLiteral("gcad.png");
    // Unset: what the scene file says, else 1280 x 960 and the iso view.
    std::optional<QSize> size;
    QString view;
    Scene::DisplayOptions display;
    double creaseAngle = Vaq::CAD::PolyBase::DEFAULT_CREASE_ANGLE;
    bool labels = false;
    // Added to what a scene file says; the crosshair replaces the file's.
    Scene::OverlayOptions overlay;
};

// "X,Y,Z[:TEXT]": a point mark, its text after the first colon.
Scene::PointMark parsePointMark(const QString &option, const QString &text)
{
    const qsizetype colon = text.indexOf(':');
    return { parsePoint(option, text.left(colon)), colon < 0 ? QString() : text.mid(colon + 1),
        std::nullopt };
}

// Shows the elements' labels while a picture is drawn: the configured choice is for the
// application's views, and a picture shows exactly the labels it was asked for.
class LabelsShown
{
public:
    LabelsShown()
        : m_configured(Vaq::Cfg::getRoot().getBool(Vaq::GCAD::CFG_GCAD_SHOW_LABELS))
    {
        Vaq::Cfg::getRoot().setBool(Vaq::GCAD::CFG_GCAD_SHOW_LABELS, true);
    }
    ~LabelsShown() { Vaq::Cfg::getRoot().setBool(Vaq::GCAD::CFG_GCAD_SHOW_LABELS, m_configured); }
    LabelsShown(const LabelsShown &) = delete;
    LabelsShown &operator=(const LabelsShown &) = delete;

private:
    bool m_configured;
};

QString unknownView(const QString &view)
{
    return QStringLiteral("unknown view '%1' (x+, x-, y+, y-, z+, z-, iso or a corner such as x+y-z+)")
        .arg(view);
}

bool isSceneFile(const QString &file)
{
    return QFileInfo(file).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0;
}

RenderOptions parseRenderOptions(const QStringList &arguments)
{
    RenderOptions options;
    ArgumentReader reader(QStringLiteral("render"), arguments);
    while (!reader.atEnd()) {
        const QString argument = reader.next();
        if (argument == "-o")
            options.output = reader.value(argument, QStringLiteral("picture file"));
        else if (argument == "--size")
            options.size = parseViewSize(argument, reader.value(argument, QStringLiteral("WxH")));
        else if (argument == "--view")
            options.view = reader.value(argument, QStringLiteral("view name"));
        else if (argument == "--flat")
            options.display.flat = true;
        else if (argument == "--edges")
            options.display.edges = true;
        else if (argument == "--points")
            options.display.points = true;
        else if (argument == "--crease")
            options.creaseAngle = parseAngle(argument, reader.value(argument, QStringLiteral("degrees")));
        else if (argument == "--labels")
            options.labels = true;
        else if (argument == "--raster")
            options.overlay.raster = true;
        else if (argument == "--point-mark")
            options.overlay.pointMarks.push_back(
                parsePointMark(argument, reader.value(argument, QStringLiteral("X,Y,Z[:TEXT]"))));
        else if (argument == "--cross")
            options.overlay.cross = parsePoint(argument, reader.value(argument, QStringLiteral("X,Y,Z")));
        else if (argument.startsWith('-') && argument != "-")
            reader.rejectOption(argument);
        else
            options.files << argument;
    }
    if (!options.view.isEmpty()
        && Vaq::GL::ViewCreator::getViewForName(options.view) == Vaq::GL::ViewCreator::VD_NONE)
        throw UsageError { QStringLiteral("--view"), unknownView(options.view) };
    if (options.files.size() > 1 && std::any_of(options.files.begin(), options.files.end(), isSceneFile))
        throw UsageError { QStringLiteral("render"), QStringLiteral("a scene file is given alone") };
    return options;
}

// Loads the files, or the scene file, into scene and completes options with what a scene file
// says of the view. Meshes get vertex normals split where their facets differ by more than the
// crease angle.
void loadFiles(RenderOptions &options, Scene::Scene &scene)
{
    if (options.files.size() == 1 && isSceneFile(options.files.front())) {
        try {
            const Scene::ViewDescription view
                = Scene::loadSceneFile(options.files.front(), scene, options.creaseAngle);
            if (options.view.isEmpty())
                options.view = view.direction;
            if (!options.size)
                options.size = view.size;
            if (view.background)
                scene.setBackground(*view.background);
        } catch (const Scene::ImportError &e) {
            throw UsageError { e.fileName(), e.reason() };
        }
        return;
    }
    for (const QString &file : options.files) {
        try {
            Scene::ImportedData data = Scene::importFile(file, options.creaseAngle);
            if (auto *cloud = std::get_if<Scene::PointCloud>(&data)) {
                scene.addPoints(Scene::createPointsElement(std::move(*cloud), file));
                continue;
            }
            scene.addMesh(std::move(std::get<std::unique_ptr<Vaq::CAD::PolyBase>>(data)));
        } catch (const Scene::ImportError &e) {
            throw UsageError { e.fileName(), e.reason() };
        }
    }
}

} // namespace

int runRender(const QStringList &arguments)
{
    QElapsedTimer timer;
    timer.start();
    RenderOptions options = parseRenderOptions(arguments);
    const PictureOutput output(options.output);

    Scene::Scene scene;
    loadFiles(options, scene);
    if (options.files.isEmpty())
        Scene::addDemoScene(scene);
    scene.applyDisplayOptions(options.display);
    if (options.labels)
        scene.labelElements();
    scene.getOverlay().add(options.overlay);
    Vaq::BaVec3d<double> rotation;
    Vaq::GL::ViewCreator::getViewForName(
        options.view.isEmpty() ? QStringLiteral("iso") : options.view, &rotation);

    QImage image;
    const LabelsShown labelsShown;
    try {
        image = Scene::renderSceneImage(scene, options.size.value_or(QSize(1280, 960)), rotation);
    } catch (const Vaq::ProgError &e) {
        return reportError(QStringLiteral("render"), e.message(), 1);
    }
    QString error;
    if (!output.write(image, &error))
        return reportError(options.output, QStringLiteral("cannot write (%1)").arg(error), 1);
    if (output.isStandardOutput())
        return 0;

    std::printf("wrote %s: %dx%d pixels, %zu elements, %zu triangles, %zu points, %.2f s\n",
        QFileInfo(options.output).absoluteFilePath().toUtf8().constData(), image.width(), image.height(),
        scene.getElements().size(), scene.getNumberOfTriangles(), scene.getNumberOfPoints(),
        timer.elapsed() / 1000.0);
    std::fflush(stdout);
    return 0;
}

} // namespace Gcad
