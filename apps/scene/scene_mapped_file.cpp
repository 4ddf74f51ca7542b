#include "apps/scene/scene_mapped_file.h"

#include "apps/scene/scene_import_error.h"

#include <QFile>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace Gcad::Scene {

namespace {

QString systemReason(int error)
{
    return QStringLiteral("cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
}

// Closes the descriptor on every way out of the constructor; the mapping outlives it.
struct Descriptor
{
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

MappedFile::MappedFile(const QString &path)
{
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const Descriptor file { ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) };
    if (file.fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw ImportError(path, QStringLiteral("no such file"));
        throw ImportError(path, systemReason(errno));
    }
    struct stat status
    {
    };
    if (::fstat(file.fd, &status) != 0)
        throw ImportError(path, systemReason(errno));
    if (S_ISDIR(status.st_mode))
        throw ImportError(path, QStringLiteral("is a folder, not a file"));
    if (!S_ISREG(status.st_mode))
        throw ImportError(path, QStringLiteral("is not a regular file"));
    if (status.st_size == 0)
        throw ImportError(path, QStringLiteral("empty file"));

    m_size = std::size_t(status.st_size);
    void *data = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, file.fd, 0);
    if (data == MAP_FAILED)
        throw ImportError(path, systemReason(errno));
    m_data = static_cast<const char *>(data);
    ::madvise(data, m_size, MADV_SEQUENTIAL);
}

MappedFile::~MappedFile()
{
    ::munmap(const_cast<char *>(m_data), m_size);
}

void MappedFile::releaseBefore(std::size_t offset)
{
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    const std::size_t end = std::min(offset, m_size) / page * page;
    if (end <= m_released)
        return;
    ::madvise(const_cast<char *>(m_data) + m_released, end - m_released, MADV_DONTNEED);
    m_released = end;
}

} // namespace Gcad::Scene
