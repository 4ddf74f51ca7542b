// Reading the options of a subcommand: options with a value take the argument after them,
// sizes and output files are checked before any work starts, so that a typo is reported at
// once and not after a long run. Every problem is thrown as UsageError.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <QSize>
#include <QString>
#include <QStringList>

namespace Gcad {

// The largest view edge the program asks for, in pixels.
inline constexpr int MAX_VIEW_SIZE = 16384;

class ArgumentReader
{
public:
    ArgumentReader(const QString &command, const QStringList &arguments);

    bool atEnd() const { return m_next >= m_arguments.size(); }
    QString next() { return m_arguments[m_next++]; }
    // The argument after option; "<option>: missing value (<what>)" when there is none.
    QString value(const QString &option, const QString &what);
    // "<argument>: unknown option of '<command>' (see gcad --help)"
    [[noreturn]] void rejectOption(const QString &argument) const;

private:
    QString m_command;
    QStringList m_arguments;
    qsizetype m_next = 0;
};

// "WxH", each from 1 to MAX_VIEW_SIZE.
QSize parseViewSize(const QString &option, const QString &text);
// A whole number from 1 to MAX_VIEW_SIZE.
int parseViewEdge(const QString &option, const QString &text);
// An angle in degrees from 0 to 180, such as 30 or 22.5.
double parseAngle(const QString &option, const QString &text);
// A finite decimal number such as 1, -2.5 or 3e-2 into *value; false, *value unchanged, for
// anything else ("nan", "inf", "1,5", blanks).
bool parseFiniteNumber(const QString &text, double *value);
// "X,Y,Z": three finite decimal numbers such as 1, -2.5 or 3e-2.
Vaq::BaVec3d<double> parsePoint(const QString &option, const QString &text);
// Refuses an output path that is a folder or whose folder does not exist.
void checkOutputPath(const QString &path);

} // namespace Gcad
