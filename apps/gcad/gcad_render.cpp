#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"
#include "apps/gcad/gcad_options.h"
#include "apps/gcad/gcad_picture_output.h"
#include "apps/gcad/gcad_render_snapshot.h"
#include "apps/gcad/gcad_scene_setup.h"

#include "apps/scene/scene_demo.h"
#include "apps/scene/scene_image.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
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
    // The longer side of a snapshot document's picture; unset: no snapshot.
    std::optional<int> snapshot;
};

QString unknownView(const QString &view)
{
    return QStringLiteral("unknown view '%1' (x+, x-, y+, y-, z+, z-, iso or a corner such as x+y-z+)")
        .arg(view);
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
        else if (argument == "--snapshot") {
            const QString text = reader.value(argument, QStringLiteral("pixels"));
            bool ok = false;
            options.snapshot = text.toInt(&ok);
            if (!ok || *options.snapshot < 1)
                throw UsageError { argument,
                    QStringLiteral("'%1' is not a whole number of pixels").arg(text) };
        } else if (argument == "--crease")
            options.creaseAngle = parseAngle(argument, reader.value(argument, QStringLiteral("degrees")));
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

} // namespace

int runRender(const QStringList &arguments)
{
    QElapsedTimer timer;
    timer.start();
    RenderOptions options = parseRenderOptions(arguments);
    const PictureOutput output(options.output);

    Scene::Scene scene;
    const std::optional<Scene::ViewDescription> view
        = loadSceneFiles(options.files, options.creaseAngle, scene, [](const Scene::ImportError &e) {
              throw UsageError { e.fileName(), e.reason() };
          });
    if (view && options.view.isEmpty())
        options.view = view->direction;
    if (view && !options.size)
        options.size = view->size;
    if (options.files.isEmpty())
        Scene::addDemoScene(scene);
    scene.applyDisplayOptions(options.display);
    Vaq::BaVec3d<double> rotation;
    Vaq::GL::ViewCreator::getViewForName(
        options.view.isEmpty() ? QStringLiteral("iso") : options.view, &rotation);

    // A snapshot document for --snapshot and for PDF, which shows the view's own pixels then.
    const QSize size = options.size.value_or(QSize(1280, 960));
    const bool snapshot = options.snapshot || output.isPdf();
    QImage image;
    std::unique_ptr<Vaq::Fig2::SnapshotData> document;
    try {
        if (snapshot)
            document = renderSceneSnapshot(
                scene, size, rotation, options.snapshot.value_or(std::max(size.width(), size.height())));
        else
            image = Scene::renderSceneImage(scene, size, rotation);
    } catch (const Vaq::ProgError &e) {
        if (options.snapshot && *options.snapshot > largestSnapshotEdge())
            return reportError(QStringLiteral("--snapshot"),
                QStringLiteral("%1 pixels is more than this driver's largest frame buffer (%2)")
                    .arg(*options.snapshot)
                    .arg(largestSnapshotEdge()),
                2);
        return reportError(QStringLiteral("render"), e.message(), 1);
    }
    QString error;
    if (!(document ? output.write(*document, &error) : output.write(image, &error)))
        return reportError(options.output, QStringLiteral("cannot write (%1)").arg(error), 1);
    const QSize pixels = document ? document->getImageSize() : image.size();
    if (output.isStandardOutput())
        return 0;

    std::printf("wrote %s: %dx%d pixels, %zu elements, %zu triangles, %zu points, %.2f s\n",
        QFileInfo(options.output).absoluteFilePath().toUtf8().constData(), pixels.width(), pixels.height(),
        scene.getElements().size(), scene.getNumberOfTriangles(), scene.getNumberOfPoints(),
        timer.elapsed() / 1000.0);
    std::fflush(stdout);
    return 0;
}

} // namespace Gcad
