#include "gcad/host/base/vaq_os.h"

#include <QFile>
#include <QThread>

namespace Vaq::OS {

unsigned getNumberOfCPUs()
{
    const int n = QThread::idealThreadCount();
    return n > 0 ? unsigned(n) : 1u;
}

void openStdStream(std::fstream &stream, const QString &fileName, std::ios::openmode mode)
{
    stream.open(QFile::encodeName(fileName).constData(), mode | std::ios::binary);
}

} // namespace Vaq::OS
