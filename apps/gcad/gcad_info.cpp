#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"

#include "gcad/benchmark/gcad_benchmark_crash_guard.h"
#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <cstdio>

namespace Gcad {

namespace {

const char *offscreenModeName(int mode)
{
    switch (mode) {
    case Vaq::GL::WidgetOptions::OM_PBUFFER:
        return "1 (pbuffer)";
    case Vaq::GL::WidgetOptions::OM_FRAME_BUFFER_OBJECT:
        return "2 (frame buffer object)";
    default:
        return "0 (off)";
    }
}

void printLine(const char *label, const QString &value)
{
    std::printf("%s: %s\n", label, value.toUtf8().constData());
}

} // namespace

int runInfo(const QStringList &arguments)
{
    rejectUnknownOptions("info", arguments, {});

    const Vaq::GL::WidgetOptions::Options &options
        = Vaq::GL::WidgetOptions::getInstance()->getWidgetOptions(true);
    if (!options.valid)
        return reportError("info", options.error, 1);

    printLine("renderer", options.renderer);
    printLine("vendor", options.vendor);
    printLine("GL version", options.glVersion);
    printLine("driver version", options.driverVersion);
    if (Vaq::GCAD::BenchmarkCrashGuard::isLeftOn())
        printLine("software rendering",
            "yes (switched on because a benchmark was interrupted; a benchmark that completes, such as "
            "gcad bench --quick, switches it back)");
    else
        printLine("software rendering", options.softwareRendering ? "yes" : "no");
    printLine("off-screen mode", offscreenModeName(options.offscreenMode));
    printLine("graphics memory", QStringLiteral("%1 MB").arg(options.memoryMB));
    printLine("render mode", QString::number(options.renderMode));
    printLine("snapshot size", QStringLiteral("%1 pixels").arg(options.snapshotSize));
    // Measured by gcad bench for this renderer, driver and software flag.
    Vaq::GCAD::BenchmarkResult result;
    Vaq::GCAD::BenchmarkResultContainer *store = Vaq::GCAD::BenchmarkResultContainer::getInstance();
    printLine("performance index",
        store && store->getResult(options, &result)
            ? QString::number(result.calculatePerformanceIndex(), 'f', 2)
            : QStringLiteral("not available"));
    std::fflush(stdout);
    return 0;
}

} // namespace Gcad
