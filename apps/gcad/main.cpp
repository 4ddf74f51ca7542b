// gcad: the command-line program of libVaqGCAD.

#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"

#include "gcad/gcad_library.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
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
        "             performance index",
        Gcad::runInfo },
    { "render", "[FILE...] [-o PNG] [--size WxH] [--view DIR] [--flat] [--edges] [--points]",
        "draw .stl, .ply and .obj meshes (without FILE the demo scene) into a PNG, by default gcad.png\n"
        "             of 1280x960 pixels seen from DIR: x+, x-, y+, y-, z+, z-, iso (the default) or a\n"
        "             corner such as x+y-z+",
        Gcad::runRender },
    { "bench", "[--size N] [--quick] [--dome N] [--baseline] [--json FILE] [--verbose]",
        "measure how fast this graphics configuration draws meshes and store the result;\n"
        "             --size: view edge in pixels (default from the screen), --quick: measurements of\n"
        "             0.1 s, --dome: a test mesh of N x N vertices instead of 1001 x 1001 (both for\n"
        "             quick checks, not for the rates the views rely on), --baseline: also the same\n"
        "             mesh from one plain buffer object and each rate's ratio to it, --json: the rates\n"
        "             as a JSON file, --verbose: every measurement",
        Gcad::runBench },
};

void printHelp()
{
    std::printf("usage: gcad <command> [options]\n\ncommands:\n");
    for (const Subcommand &command : kSubcommands) {
        if (*command.options)
            std::printf("  %s %s\n  %-10s %s\n", command.name, command.options, "", command.summary);
        else
            std::printf("  %-10s %s\n", command.name, command.summary);
    }
    std::printf("\n  --help     show this help\n");
}

// The library's process-wide objects (result store, frame-rate adjustment, mesh node
// container) and its commands live while a command runs, with the user's configuration
// loaded.
class LibrarySession
{
public:
    LibrarySession()
    {
        Vaq::Cfg::loadRoot();
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
};

} // namespace

int main(int argc, char **argv)
{
    // Nothing here needs a display: views render into framebuffer objects.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);

    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty() || arguments.first() == "--help" || arguments.first() == "-h") {
        printHelp();
        return arguments.isEmpty() ? 2 : 0;
    }

    const QString name = arguments.takeFirst();
    for (const Subcommand &command : kSubcommands) {
        if (name != command.name)
            continue;
        try {
            const LibrarySession library;
            return command.run(arguments);
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
