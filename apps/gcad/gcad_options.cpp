#include "apps/gcad/gcad_options.h"

#include "apps/gcad/gcad_cli.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace Gcad {

namespace {

// A value from 1 to MAX_VIEW_SIZE, or 0.
int viewEdge(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    if (!digits.match(text).hasMatch())
        return 0;
    const int edge = text.toInt();
    return edge <= MAX_VIEW_SIZE ? edge : 0;
}

} // namespace

ArgumentReader::ArgumentReader(const QString &command, const QStringList &arguments)
    : m_command(command)
    , m_arguments(arguments)
{
}

QString ArgumentReader::value(const QString &option, const QString &what)
{
    if (atEnd())
        throw UsageError { option, QStringLiteral("missing value (%1)").arg(what) };
    return next();
}

void ArgumentReader::rejectOption(const QString &argument) const
{
    throw unknownOption(m_command, argument);
}

QSize parseViewSize(const QString &option, const QString &text)
{
    const qsizetype x = text.indexOf('x');
    const int width = x < 0 ? 0 : viewEdge(text.left(x));
    const int height = x < 0 ? 0 : viewEdge(text.mid(x + 1));
    if (width == 0 || height == 0)
        throw UsageError { option,
            QStringLiteral("'%1' is not WxH with W and H from 1 to %2").arg(text).arg(MAX_VIEW_SIZE) };
    return QSize(width, height);
}

int parseViewEdge(const QString &option, const QString &text)
{
    const int edge = viewEdge(text);
    if (edge == 0)
        throw UsageError { option,
            QStringLiteral("'%1' is not a whole number from 1 to %2").arg(text).arg(MAX_VIEW_SIZE) };
    return edge;
}

double parseAngle(const QString &option, const QString &text)
{
    // Plain decimals only: no sign, exponent, "nan" or "inf".
    static const QRegularExpression decimal(QStringLiteral("^[0-9]{1,3}(\\.[0-9]+)?$"));
    const double angle = decimal.match(text).hasMatch() ? text.toDouble() : -1.0;
    if (angle < 0.0 || angle > 180.0)
        throw UsageError { option, QStringLiteral("'%1' is not an angle from 0 to 180 degrees").arg(text) };
    return angle;
}

bool parseFiniteNumber(const QString &text, double *value)
{
    // Plain decimals only, so that "nan" and "inf" are refused like any other word.
    static const QRegularExpression decimal(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    bool good = decimal.match(text).hasMatch();
    const double number = good ? text.toDouble(&good) : 0.0;
    if (!good || !std::isfinite(number))
        return false;
    *value = number;
    return true;
}

Vaq::BaVec3d<double> parsePoint(const QString &option, const QString &text)
{
    const QStringList parts = text.split(',');
    double xyz[3] = {};
    bool good = parts.size() == 3;
    for (qsizetype i = 0; good && i < 3; ++i)
        good = parseFiniteNumber(parts[i].trimmed(), &xyz[i]);
    if (!good)
        throw UsageError { option, QStringLiteral("'%1' is not X,Y,Z of three finite numbers").arg(text) };
    return { xyz[0], xyz[1], xyz[2] };
}

void checkOutputPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw UsageError { path, QStringLiteral("is a folder, not a file") };
    if (!QFileInfo(info.absolutePath()).isDir())
        throw UsageError { path, QStringLiteral("the folder does not exist") };
}

} // namespace Gcad
