// MappedFile: a file the user named, mapped read-only for one pass from front to back. It
// opens only regular files (a FIFO or device named like a mesh would block or never end) and
// lets the reader hand back the pages it has finished with, so that a file larger than memory
// is never resident as a whole.
#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <string_view>

namespace Gcad::Scene {

// Told by a reader, now and then, that it will not look at the bytes before the given offset
// again. Readers over plain memory (tests, fuzzers) get an empty one.
using ReleaseRead = std::function<void(std::size_t)>;

class MappedFile
{
public:
    // Throws ImportError for path: "no such file", "is a folder, not a file", "is not a regular
    // file", "cannot be read (<system reason>)" or "empty file".
    explicit MappedFile(const QString &path);
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    std::string_view bytes() const { return { m_data, m_size }; }
    // Drops the pages wholly before offset from memory; reading them again reads the file.
    void releaseBefore(std::size_t offset);
    ReleaseRead releaser()
    {
        return [this](std::size_t offset) { releaseBefore(offset); };
    }

private:
    const char *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_released = 0;
};

} // namespace Gcad::Scene
