#include "gcad/host/base/vaq_thread.h"

namespace Vaq {

Thread::Thread(const QString &name, const char *file, int line)
    : m_name(name)
    , m_file(file)
    , m_line(line)
{
    setObjectName(name);
}

} // namespace Vaq
