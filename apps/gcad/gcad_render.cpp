#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"
#include "apps/gcad/gcad_options.h"

#include "apps/scene/scene_demo.h"
#include "apps/scene/scene_image.h"
#include "apps/scene/scene_import.h"
#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_points.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace Gcad {

namespace {

struct RenderOptions
{
    QStringList files;
    QString output = QStringLiteral("gcad.png");
    QSize size { 1280, 960 };
    Vaq::BaVec3d<double> rotation;
    Scene::DisplayOptions display;
};

RenderOptions parseRenderOptions(const QStringList &arguments)
{
    RenderOptions options;
    QString view = QStringLiteral("iso");
    ArgumentReader reader(QStringLiteral("render"), arguments);
    while (!reader.atEnd()) {
        const QString argument = reader.next();
        if (argument == "-o")
            options.output = reader.value(argument, QStringLiteral("PNG file"));
        else if (argument == "--size")
            options.size = parseViewSize(argument, reader.value(argument, QStringLiteral("WxH")));
        else if (argument == "--view")
            view = reader.value(argument, QStringLiteral("view name"));
        else if (argument == "--flat")
            options.display.flat = true;
        else if (argument == "--edges")
            options.display.edges = true;
        else if (argument == "--points")
            options.display.points = true;
        else if (argument.startsWith('-') && argument != "-")
            reader.rejectOption(argument);
        else
            options.files << argument;
    }
    if (Vaq::GL::ViewCreator::getViewForName(view, &options.rotation) == Vaq::GL::ViewCreator::VD_NONE)
        throw UsageError { QStringLiteral("--view"),
            QStringLiteral("unknown view '%1' (x+, x-, y+, y-, z+, z-, iso or a corner such as x+y-z+)")
                .arg(view) };
    checkOutputPath(options.output);
    return options;
}

void loadFiles(const QStringList &files, Scene::Scene &scene)
{
    for (const QString &file : files) {
        try {
            Scene::ImportedData data = Scene::importFile(file);
            if (auto *cloud = std::get_if<Scene::PointCloud>(&data))
                scene.addPoints(Scene::createPointsElement(std::move(*cloud), file));
            else
                scene.addMesh(std::move(std::get<std::unique_ptr<Vaq::CAD::PolyBase>>(data)));
        } catch (const Scene::ImportError &e) {
            throw UsageError { e.fileName(), e.reason() };
        }
    }
}

// Writes through a temporary file in the same folder that replaces path only when complete.
bool writePng(const QImage &image, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

int runRender(const QStringList &arguments)
{
    QElapsedTimer timer;
    timer.start();
    const RenderOptions options = parseRenderOptions(arguments);

    Scene::Scene scene;
    loadFiles(options.files, scene);
    if (options.files.isEmpty())
        Scene::addDemoScene(scene);
    scene.applyDisplayOptions(options.display);

    QImage image;
    try {
        image = Scene::renderSceneImage(scene, options.size, options.rotation);
    } catch (const Vaq::ProgError &e) {
        return reportError(QStringLiteral("render"), e.message(), 1);
    }
    QString error;
    if (!writePng(image, options.output, &error))
        return reportError(options.output, QStringLiteral("cannot write (%1)").arg(error), 1);

    std::printf("wrote %s: %dx%d pixels, %zu elements, %zu triangles, %zu points, %.2f s\n",
        QFileInfo(options.output).absoluteFilePath().toUtf8().constData(), image.width(), image.height(),
        scene.getElements().size(), scene.getNumberOfTriangles(), scene.getNumberOfPoints(),
        timer.elapsed() / 1000.0);
    std::fflush(stdout);
    return 0;
}

} // namespace Gcad
