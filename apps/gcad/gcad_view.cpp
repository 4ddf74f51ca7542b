#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"
#include "apps/gcad/gcad_options.h"
#include "apps/gcad/gcad_render_snapshot.h"
#include "apps/gcad/gcad_scene_setup.h"
#include "apps/gcad/gcad_view_benchmark.h"
#include "apps/gcad/gcad_view_window.h"

#include "apps/scene/scene_demo.h"

#include "gcad/gcad_config.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace Gcad {

namespace {

struct ViewOptions
{
    QStringList files;
    std::optional<QSize> size; // unset: what the scene file says, else 1024 x 768
    QString view;
    double creaseAngle = Vaq::CAD::PolyBase::DEFAULT_CREASE_ANGLE;
    std::optional<int> snapshot; // longer side of snapshots; unset: the configured size
    int benchmarkFrames = 0;
    QString screenshot;
};

ViewOptions parseViewOptions(const QStringList &arguments)
{
    ViewOptions options;
    ArgumentReader reader(QStringLiteral("view"), arguments);
    while (!reader.atEnd()) {
        const QString argument = reader.next();
        if (argument == "--size")
            options.size = parseViewSize(argument, reader.value(argument, QStringLiteral("WxH")));
        else if (argument == "--view")
            options.view = reader.value(argument, QStringLiteral("view name"));
        else if (argument == "--crease")
            options.creaseAngle = parseAngle(argument, reader.value(argument, QStringLiteral("degrees")));
        else if (argument == "--snapshot")
            options.snapshot = parseViewEdge(argument, reader.value(argument, QStringLiteral("pixels")));
        else if (argument == "--benchmark-frames")
            options.benchmarkFrames
                = parseViewEdge(argument, reader.value(argument, QStringLiteral("frames")));
        else if (argument == "--screenshot-on-exit") {
            options.screenshot = reader.value(argument, QStringLiteral("PNG file"));
            checkOutputPath(options.screenshot);
        } else if (argument.startsWith('-'))
            reader.rejectOption(argument);
        else
            options.files << argument;
    }
    if (!options.view.isEmpty()
        && Vaq::GL::ViewCreator::getViewForName(options.view) == Vaq::GL::ViewCreator::VD_NONE)
        throw UsageError { QStringLiteral("--view"), QStringLiteral("unknown view '%1'").arg(options.view) };
    if (options.files.size() > 1 && std::any_of(options.files.begin(), options.files.end(), isSceneFile))
        throw UsageError { QStringLiteral("view"), QStringLiteral("a scene file is given alone") };
    return options;
}

// Refuses to start without a window system: the program then runs on Qt's off-screen platform.
void requireDisplay()
{
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        return;
    const char *display = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    if (!display && !wayland)
        throw UsageError { QStringLiteral("view"), QStringLiteral("no display: DISPLAY is not set") };
    throw UsageError { QStringLiteral("view"),
        QStringLiteral("cannot open display '%1'").arg(QString::fromLocal8Bit(wayland ? wayland : display)) };
}

} // namespace

int runView(const QStringList &arguments)
{
    ViewOptions options = parseViewOptions(arguments);
    requireDisplay();
    if (options.snapshot) {
        if (*options.snapshot > largestSnapshotEdge())
            throw UsageError { QStringLiteral("--snapshot"),
                QStringLiteral("%1 pixels is more than this driver's largest frame buffer (%2)")
                    .arg(*options.snapshot)
                    .arg(largestSnapshotEdge()) };
        Vaq::GL::WidgetOptions::getInstance()->setSnapshotSizeSetting(*options.snapshot);
        Vaq::GCAD::RenderCallback::setMaxSnapshotSize(*options.snapshot);
    }

    Scene::Scene scene;
    QStringList failures;
    const std::optional<Scene::ViewDescription> described
        = loadSceneFiles(options.files, options.creaseAngle, scene, [&failures](const Scene::ImportError &e) {
              reportError(e.fileName(), e.reason(), 2);
              failures << e.what();
          });
    if (options.files.isEmpty())
        Scene::addDemoScene(scene);
    if (described && options.view.isEmpty())
        options.view = described->direction;
    if (described && !options.size)
        options.size = described->size;

    // The labels a click gives are shown whatever the configuration says for other views;
    // the configuration keeps its choice.
    const bool labelsConfigured = Vaq::Cfg::getRoot().getBool(Vaq::GCAD::CFG_GCAD_SHOW_LABELS);
    Vaq::Cfg::getRoot().setBool(Vaq::GCAD::CFG_GCAD_SHOW_LABELS, true);
    Scene::SceneRenderCallback callback(scene);
    // Snapshots go next to the first file, else into the current folder.
    const QString snapshotBase = options.files.isEmpty()
        ? QStringLiteral("gcad")
        : QFileInfo(options.files.front())
              .dir()
              .filePath(QFileInfo(options.files.front()).completeBaseName());
    ViewerWindow window(
        scene, callback, options.size.value_or(QSize(1024, 768)), snapshotBase, options.screenshot);
    Vaq::BaVec3d<double> rotation;
    Vaq::GL::ViewCreator::getViewForName(
        options.view.isEmpty() ? QStringLiteral("iso") : options.view, &rotation);
    window.getView().getRenderObject()->setRotation(rotation);
    if (!failures.isEmpty())
        window.showMessage(QStringLiteral("could not open: %1").arg(failures.join(QStringLiteral("; "))));
    // One line once the scene is on screen.
    QObject::connect(
        &window.getView(), &Vaq::GL::ViewWidget::repaintFinished, &window,
        [&scene] {
            std::printf("showing %zu elements, %zu triangles, %zu points\n", scene.getElements().size(),
                scene.getNumberOfTriangles(), scene.getNumberOfPoints());
            std::fflush(stdout);
        },
        Qt::SingleShotConnection);
    // The size asked for, even where it exceeds the share of the screen Qt gives a new window.
    window.resize(window.sizeHint());
    window.show();

    if (options.benchmarkFrames > 0) {
        QTimer::singleShot(0, &window, [&window, &options] {
            window.getView().redraw(); // the first picture, before the frames are timed
            runViewBenchmark(window.getView(), options.benchmarkFrames);
            window.close();
        });
    }
    QApplication::exec();
    Vaq::Cfg::getRoot().setBool(Vaq::GCAD::CFG_GCAD_SHOW_LABELS, labelsConfigured);
    return 0;
}

} // namespace Gcad
