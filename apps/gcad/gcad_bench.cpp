#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"
#include "apps/gcad/gcad_options.h"

namespace Gcad {

namespace {

struct BenchOptions
{
    int size = 0; // 0: from the screen, as the benchmark command chooses
    bool quick = false;
    bool baseline = false;
    QString json;
    bool verbose = false;
};

BenchOptions parseBenchOptions(const QStringList &arguments)
{
    BenchOptions options;
    ArgumentReader reader(QStringLiteral("bench"), arguments);
    while (!reader.atEnd()) {
        const QString argument = reader.next();
        if (argument == "--size")
            options.size = parseViewEdge(argument, reader.value(argument, QStringLiteral("N")));
        else if (argument == "--quick")
            options.quick = true;
        else if (argument == "--baseline")
            options.baseline = true;
        else if (argument == "--json")
            options.json = reader.value(argument, QStringLiteral("JSON file"));
        else if (argument == "--verbose")
            options.verbose = true;
        else
            reader.rejectOption(argument);
    }
    if (!options.json.isEmpty())
        checkOutputPath(options.json);
    return options;
}

} // namespace

int runBench(const QStringList &arguments)
{
    parseBenchOptions(arguments);
    return reportError(QStringLiteral("bench"), QStringLiteral("the benchmark is not available yet"), 1);
}

} // namespace Gcad
