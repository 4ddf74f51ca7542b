#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"
#include "apps/gcad/gcad_options.h"
#include "apps/gcad/gcad_render_snapshot.h"
#include "apps/gcad/gcad_view_benchmark.h"
#include "apps/gcad/gcad_view_library.h"
#include "apps/gcad/gcad_view_setup.h"
#include "apps/gcad/gcad_view_window.h"

#include "gcad/host/gapp/vaq_gapp_menu_callback.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace Gcad {

namespace {

struct ViewOptions
{
    ViewSetup setup;
    std::optional<int> snapshot; // longer side of snapshots; unset: the configured size
    int benchmarkFrames = 0;
    int benchmarkHover = 0;
    QString screenshot;
    bool check = true; // the graphics board check at start
};

ViewOptions parseViewOptions(const QStringList &arguments)
{
    ViewOptions options;
    ArgumentReader reader(QStringLiteral("view"), arguments);
    while (!reader.atEnd()) {
        const QString argument = reader.next();
        if (argument == "--snapshot")
            options.snapshot = parseViewEdge(argument, reader.value(argument, QStringLiteral("pixels")));
        else if (argument == "--benchmark-frames")
            options.benchmarkFrames
                = parseViewEdge(argument, reader.value(argument, QStringLiteral("frames")));
        else if (argument == "--benchmark-hover")
            options.benchmarkHover = parseViewEdge(argument, reader.value(argument, QStringLiteral("moves")));
        else if (argument == "--screenshot-on-exit") {
            options.screenshot = reader.value(argument, QStringLiteral("PNG file"));
            checkOutputPath(options.screenshot);
        } else if (argument == "--no-check")
            options.check = false;
        else if (!options.setup.readArgument(argument, reader))
            reader.rejectOption(argument);
    }
    options.setup.check(QStringLiteral("view"));
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

    // The viewer shows the axis cross in its corner unless the axes are asked for elsewhere.
    if (!options.setup.axes)
        options.setup.axes = Vaq::GCAD::RenderCallback::CSM_VIEW_CORNER;
    Scene::Scene scene;
    QStringList failures;
    options.setup.load(scene, [&failures](const Scene::ImportError &e) {
        reportError(e.fileName(), e.reason(), 2);
        failures << e.what();
    });

    // The labels a click gives are shown whatever the configuration says for other views;
    // the configuration keeps its choices.
    const LabelsShown labelsShown(options.setup.boxMode);
    Scene::SceneRenderCallback callback(scene);
    // Snapshots go next to the first file, else into the current folder.
    const QStringList &files = options.setup.files;
    const QString snapshotBase = files.isEmpty()
        ? QStringLiteral("gcad")
        : QFileInfo(files.front()).dir().filePath(QFileInfo(files.front()).completeBaseName());
    ViewerWindow window(
        scene, callback, options.setup.size.value_or(QSize(1024, 768)), snapshotBase, options.screenshot);
    window.getView().getRenderObject()->setRotation(options.setup.getRotation());
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
    addLibraryMenu(window);
    window.resize(window.sizeHint());
    window.show();
    // Without the check, and for timed runs, which have no user at hand, the viewer starts as
    // a batch start does.
    if (!options.check || options.benchmarkFrames > 0 || options.benchmarkHover > 0)
        Vaq::GApp::MenuFunctionFinishedCallback::setCallbackRegistrationDisabled(true);
    checkBoardAtStart(window);

    if (options.benchmarkFrames > 0) {
        QTimer::singleShot(0, &window, [&window, &options] {
            window.getView().redraw(); // the first picture, before the frames are timed
            runViewBenchmark(window.getView(), options.benchmarkFrames);
            window.close();
        });
    }
    if (options.benchmarkHover > 0) {
        QTimer::singleShot(0, &window, [&window, &options] {
            runHoverBenchmark(window.getView(), options.benchmarkHover);
            window.close();
        });
    }
    QApplication::exec();
    return 0;
}

} // namespace Gcad
