#include "gcad/host/base/vaq_prog_error.h"

#include <QFileInfo>

namespace Vaq {

ProgError::ProgError(const QString &function, const QString &file, int line, const QString &message)
    : m_function(function)
    , m_file(file)
    , m_line(line)
    , m_message(message)
    , m_what(QStringLiteral("%1(%2): %3: %4").arg(file).arg(line).arg(function, message).toStdString())
{
}

QString sourceName(const char *path)
{
    return QFileInfo(QString::fromUtf8(path)).completeBaseName();
}

} // namespace Vaq
