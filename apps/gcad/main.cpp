// gcad: the command-line program of libVaqGCAD.

#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"

#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/gcad_library.h"
#include "gcad/host/base/vaq_init.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_view_settings.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

namespace {

struct Subcommand
{
    const char *name;
    const char *options; // the synopsis after the name, empty for none
    const char *summary;
    int (*run)(const QStringList &arguments);
};

const Subcommand kSubcommands[] = {
    { "info", "",
        "print the graphics configuration (renderer, driver, memory, ...) and its measured\n"
        "performance index",
        Gcad::runInfo },
    { "check", "",
        "run the start-up check of the graphics board as the application would, print what it\n"
        "would tell the user (closing its questions without a choice) and store what it saw, so\n"
        "that the next start of the application only tells what changed since",
        Gcad::runCheck },
    { "render",
        "[FILE...|SCENE.json] [-o PICTURE] [--size WxH] [--view DIR] [--flat] [--edges] [--points]\n"
        "            [--crease DEG] [--labels] [--box-mode 0|1] [--labels-json FILE] [--raster]\n"
        "            [--point-mark X,Y,Z[:TEXT]]... [--cross X,Y,Z] [--mark NAME[:COLOR]]... [--snapshot N]\n"
        "            [--actual FILE [--deviation] [--max-distance D]] [--section AXIS=VALUE]...\n"
        "            [--axes corner|origin] [--spotlight]",
        "draw .stl, .ply and .obj meshes, or the elements and view of a scene file (see\n"
        "docs/scene-format.md; without FILE the demo scene) into a picture, by default gcad.png of\n"
        "1280x960 pixels seen from DIR: x+, x-, y+, y-, z+, z-, iso (the default) or a corner such\n"
        "as x+y-z+. -o: the picture's format follows its extension (.png, .jpg, .jpeg, .bmp, .tif,\n"
        ".tiff where Qt writes it; PNG without one); - writes PNG to standard output, a device or\n"
        "FIFO is written into. --crease: the files' meshes are shaded smooth across edges whose\n"
        "facets differ by at most DEG degrees (0 to 180, default 30) and sharp across the others.\n"
        "--labels: every element gets a label with its name, pointing at the element; --raster:\n"
        "the coordinate raster (in the axis views x+ to z-) and the view direction's name;\n"
        "--point-mark: a small cross at the model point with TEXT beside it (repeatable); --cross:\n"
        "a crosshair through the model point. A colour-mapped mesh shows the colour legend.\n"
        "--axes: the coordinate axes as a cross of 60 pixels in the lower left corner, or at the\n"
        "model origin (the view widened for them, and the corner cross as well); with --raster\n"
        "also a grid and the view direction. --spotlight: a translucent disc in the middle.\n"
        "--box-mode: 0 places the labels around the view (the default), 1 next to their elements;\n"
        "--labels-json: where the labels went, in pixels: {\"view\", \"labels\": [{\"element\", \"box\",\n"
        "\"point\"}], \"fixed\"}. --mark: the element of that name in COLOR (red; a name or #rrggbb).\n"
        "--snapshot: the picture is a snapshot drawn again with N pixels on its longer side, lines,\n"
        "points and labels scaled with it; -o with .pdf writes it as a PDF page whose texts stay text.\n"
        "--actual: a scan or actual mesh of the nominal part, the one mesh FILE gives, drawn beside\n"
        "it; --deviation: the signed distance of each actual point or vertex to the nominal (positive\n"
        "on the side its triangles face), the actual data drawn in the colours of the legend, points\n"
        "farther than D (--max-distance, default 2 % of the nominal's diagonal) in grey, and the\n"
        "nominal not drawn. --section: a section through the nominal at the plane AXIS = VALUE (x, y\n"
        "or z; repeatable), drawn with the mean deviation of the actual points near each section\n"
        "point as its colour and needle; each section's runs, points and deviations are written to\n"
        "standard error",
        Gcad::runRender },
    { "pick",
        "[FILE...|SCENE.json] (--at X,Y | --rect X0,Y0,X1,Y1) [--json] [--size WxH] [--view DIR]\n"
        "            [render's display, label and mark options]",
        "draw the scene as render does with the same options and print the elements drawn at\n"
        "pixel X,Y (counted from the picture's upper left corner) or inside the rectangle, one\n"
        "\"NAME (KIND)\" a line, for --at also the rotation centre under the pixel and its depth\n"
        "(larger is nearer), or \"nothing\"; with both, the elements of the rectangle. --json:\n"
        "{\"elements\": [{\"name\": ..., \"kind\": ...}], \"point\": [X, Y, Z], \"depth\": D}",
        Gcad::runPick },
    { "view",
        "[FILE...|SCENE.json] [render's view, display, label and mark options] [--snapshot N]\n"
        "            [--benchmark-frames N] [--benchmark-hover N] [--screenshot-on-exit PNG] [--no-check]",
        "show the files (or the demo scene) in a window, 1024x768 pixels unless a scene file or\n"
        "--size says otherwise. Left drag turns, middle drag or Shift + left drag pans, the wheel\n"
        "zooms at the cursor, a double-click turns about the point under the mouse; F fits, 1 to 6\n"
        "the axis views x+, x-, y+, y-, z+, z-, I the iso view. The element under the mouse is\n"
        "highlighted, a click marks and labels it, Escape unmarks all, S writes a high-resolution\n"
        "snapshot as FILE-snapshot.png next to the first file (else gcad-snapshot.png here),\n"
        "Ctrl+Q closes. A click on the axis cross in the lower left corner turns the view to that\n"
        "axis (the square between two axes: along the third; the origin: iso); P shows the section\n"
        "preview through the marked elements across x, y, z, then none. --snapshot: snapshots\n"
        "get N pixels on their longer side;\n"
        "--benchmark-frames: turn the view N frames off screen and on screen, print the frame\n"
        "times and the longest wait of an event during a full repaint, and close;\n"
        "--benchmark-hover: move the mouse N times onto an element and off it again, in three\n"
        "rounds, and print the median time from the move to the frame with the highlight against\n"
        "a full repaint without highlight and against one interactive frame;\n"
        "--screenshot-on-exit: save the view as shown on screen when it closes. At start the\n"
        "graphics board is checked as an application does (see gcad check; not with --no-check,\n"
        "--benchmark-frames or --benchmark-hover); the Graphics menu in the status bar shows the\n"
        "card information and runs the mesh and vertex cache benchmarks",
        Gcad::runView },
    { "bench", "[--size N] [--quick] [--dome N] [--baseline] [--json FILE] [--verbose] | --vertex-cache",
        "measure how fast this graphics configuration draws meshes; only the full run stores its\n"
        "rates for the views' estimates and the performance index. --size: view edge in pixels\n"
        "(default from the screen), --quick: measurements of 0.1 s, --dome: a test mesh of N x N\n"
        "vertices instead of 1001 x 1001 (these three measure without storing), --baseline: also\n"
        "the same mesh from one plain buffer object and each rate's ratio to it, --json: the\n"
        "rates as a JSON file, --verbose: every measurement. --vertex-cache [--size N] [--quick]:\n"
        "instead the vertex cache benchmark on the demo scene: for the cache sizes 0 to 120 in\n"
        "steps of 2 the meshes' hit ratio and the triangles per second (each size 3 s and 20\n"
        "frames, 0.1 s and 2 with --quick), then the fastest size and meshoptimizer's analysis\n"
        "of the same leaves",
        Gcad::runBench },
};

// Prints text with every line after the first indented by indent blanks.
void printIndented(const char *text, int indent)
{
    for (const char *c = text; *c; ++c) {
        std::putchar(*c);
        if (*c == '\n')
            std::printf("%*s", indent, "");
    }
    std::putchar('\n');
}

void printHelp()
{
    std::printf("usage: gcad <command> [options]\n\ncommands:\n");
    for (const Subcommand &command : kSubcommands) {
        if (*command.options)
            std::printf("  %s %s\n  %-10s ", command.name, command.options, "");
        else
            std::printf("  %-10s ", command.name);
        printIndented(command.summary, 13);
    }
    std::printf("\n  --help     show this help; after a command, that command's usage\n");
}

void printCommandHelp(const Subcommand &command)
{
    std::printf("usage: gcad %s%s%s\n\n  ", command.name, *command.options ? " " : "", command.options);
    printIndented(command.summary, 2);
}

bool asksForHelp(const QStringList &arguments)
{
    return arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"));
}

// Loads the user's configuration and hands the host the setting that decides how the GL context
// is made: software rendering, which an interrupted benchmark leaves switched on.
void loadConfiguration()
{
    Vaq::Cfg::loadRoot();
    Vaq::Cfg::CfgNode &root = Vaq::Cfg::getRoot();
    Vaq::GApp::registerViewSettings(root);
    Vaq::GL::WidgetOptions::getInstance()->setSoftwareRenderingSetting(
        int(root.getList(Vaq::GL::CFG_SOFTWARE_RENDERING)));
}

// The library's process-wide objects (result store, frame-rate adjustment, mesh node
// container) and its commands live while a command runs, with the user's configuration
// loaded.
class LibrarySession
{
public:
    LibrarySession()
    {
        Vaq::GCAD::InitDefaults(&Vaq::Cfg::getRoot());
        Vaq::GCAD::InitLibrary(&Vaq::Cfg::getRoot());
    }
    ~LibrarySession()
    {
        Vaq::GApp::CommandContainer::deleteAll();
        Vaq::GCAD::CloseLibrary();
        Vaq::GCAD::CloseDefaults(&Vaq::Cfg::getRoot());
    }
    LibrarySession(const LibrarySession &) = delete;
    LibrarySession &operator=(const LibrarySession &) = delete;

    // Saves the benchmark results before the library goes, so that the user learns of an
    // unreadable file that was moved aside and of a save that failed. Returns the command's
    // status, or 1 when the save failed.
    static int saveResults(int status)
    {
        Vaq::GCAD::BenchmarkResultContainer *store = Vaq::GCAD::BenchmarkResultContainer::getInstance();
        QString error;
        const bool saved = store->saveResults(&error);
        if (!store->getMovedAsideFileName().isEmpty())
            std::fprintf(stderr, "gcad: note: %s could not be read and was moved to %s\n",
                Vaq::GCAD::BenchmarkResultContainer::getFileName().toUtf8().constData(),
                store->getMovedAsideFileName().toUtf8().constData());
        if (!saved)
            return Gcad::reportError(Vaq::GCAD::BenchmarkResultContainer::getFileName(),
                QStringLiteral("cannot save the benchmark results (%1)").arg(error), 1);
        return status;
    }
};

// Qt's own messages: its warnings (a runtime folder with loose permissions, a font it did not
// find) say nothing about the command's result and stay off standard error, where a failure is
// one line. Qt's errors are such lines.
void qtMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        Gcad::reportError(QStringLiteral("Qt"), message, 1);
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(qtMessage);
    const Vaq::GL::HeadlessApplication application(argc, argv);
    // An inspection application: it labels point identifiers where a point set asks for them.
    Vaq::VaqInit::_app = 10;

    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty() || arguments.first() == "--help" || arguments.first() == "-h") {
        printHelp();
        return arguments.isEmpty() ? 2 : 0;
    }

    const QString name = arguments.takeFirst();
    for (const Subcommand &command : kSubcommands) {
        if (name != command.name)
            continue;
        if (asksForHelp(arguments)) {
            printCommandHelp(command);
            return 0;
        }
        loadConfiguration();
        QString error;
        if (!Vaq::GL::HeadlessApplication::startGL(&error))
            return Gcad::reportError(QStringLiteral("OpenGL"), error, 1);
        try {
            const LibrarySession library;
            return LibrarySession::saveResults(command.run(arguments));
        } catch (const Gcad::UsageError &e) {
            return Gcad::reportError(e.what, e.why, 2);
        } catch (const Vaq::ProgError &e) {
            return Gcad::reportError(name, e.what(), 1);
        } catch (const std::exception &e) {
            return Gcad::reportError(name, e.what(), 1);
        }
    }
    if (name.startsWith('-'))
        return Gcad::reportError(name, "unknown option (see gcad --help)", 2);
    return Gcad::reportError(name, "unknown command (see gcad --help)", 2);
}
