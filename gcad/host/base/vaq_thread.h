// Thread: a QThread that knows its name and where it was created, so that a thread that
// hangs or fails can be traced back to its source.
#pragma once

#include <QThread>

namespace Vaq {

class Thread : public QThread
{
public:
    Thread(const QString &name, const char *file, int line);

    const QString &name() const { return m_name; }
    const char *sourceFile() const { return m_file; }
    int sourceLine() const { return m_line; }

private:
    QString m_name;
    const char *m_file;
    int m_line;
};

} // namespace Vaq
