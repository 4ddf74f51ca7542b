#include "gcad/host/base/vaq_trace.h"

#include <cstdio>

namespace Vaq {

void trace(const char *function, int line, const QString &message)
{
    std::printf("%s(%d): ", function, line);
    std::fputs(message.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace Vaq
