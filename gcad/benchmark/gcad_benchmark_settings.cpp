#include "gcad/benchmark/gcad_benchmark_settings.h"

#include <QRegularExpression>
#include <QStringList>

namespace Vaq::GCAD {

namespace {

// Reads the whole number of "<name>=<text>" into *value; false with the error text when it
// is none or lies outside minimum to maximum.
bool readNumber(const QString &name, const QString &text, unsigned minimum, unsigned maximum, unsigned *value,
    QString *error)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const unsigned number = digits.match(text).hasMatch() ? text.toUInt() : 0;
    if (number < minimum || number > maximum) {
        *error = QStringLiteral("%1: '%2' is not a whole number from %3 to %4")
                     .arg(name, text)
                     .arg(minimum)
                     .arg(maximum);
        return false;
    }
    *value = number;
    return true;
}

} // namespace

bool MeshBenchmarkSettings::isFullRun() const
{
    const MeshBenchmarkSettings standard;
    return widgetSize == standard.widgetSize && minSeconds == standard.minSeconds
        && minFrames == standard.minFrames && domeSize == standard.domeSize;
}

bool MeshBenchmarkSettings::parse(const QString &parameters, QString *error)
{
    MeshBenchmarkSettings settings = *this;
    for (const QString &item :
        parameters.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        const QString name = item.section('=', 0, 0);
        const QString value = item.section('=', 1);
        const bool hasValue = item.contains('=');
        bool ok = true;
        if (name == "size" && hasValue) {
            ok = readNumber(name, value, 1, MAX_WIDGET_SIZE, &settings.widgetSize, error);
        } else if (name == "dome" && hasValue) {
            ok = readNumber(name, value, 2, DOME_SIZE, &settings.domeSize, error);
        } else if (item == "quick") {
            settings.minSeconds = 0.1;
            settings.minFrames = 2;
        } else if (item == "verbose") {
            settings.verbose = true;
        } else {
            *error = QStringLiteral("unknown parameter: '%1'").arg(item);
            ok = false;
        }
        if (!ok)
            return false;
    }
    *this = settings;
    return true;
}

} // namespace Vaq::GCAD
