// Helpers of the scene and program tests: small literal files in a private temporary folder,
// the ImportError a call throws, and strings printed as text in failure messages.
#pragma once

#include "apps/scene/scene_import_error.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <vector>

// Failure messages show strings as text.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace Gcad::Test {

class TestFolder
{
public:
    // The path of a new file name holding contents.
    QString write(const QString &name, const QByteArray &contents) const
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        EXPECT_EQ(file.write(contents), contents.size());
        return path;
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private:
    QTemporaryDir m_dir;
};

// A binary STL: the 80-byte header, the count, and per triangle a zero normal, the three
// corners and a zero attribute word (little-endian, as on every machine here).
inline QByteArray binaryStl(const std::vector<std::array<float, 9>> &triangles)
{
    QByteArray data(80, ' ');
    const uint32_t count = uint32_t(triangles.size());
    data.append(reinterpret_cast<const char *>(&count), 4);
    for (const std::array<float, 9> &corners : triangles) {
        const float normal[3] = { 0.0f, 0.0f, 0.0f };
        data.append(reinterpret_cast<const char *>(normal), sizeof normal);
        data.append(reinterpret_cast<const char *>(corners.data()), sizeof(float) * 9);
        data.append(2, '\0');
    }
    return data;
}

// "<file>: <reason>" of the ImportError f throws, or a note that it threw none.
template<typename F> QString importError(F &&f)
{
    try {
        f();
    } catch (const Scene::ImportError &e) {
        return e.fileName() + QStringLiteral(": ") + e.reason();
    }
    return QStringLiteral("(no ImportError)");
}

} // namespace Gcad::Test
