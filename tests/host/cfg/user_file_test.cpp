#include "gcad/host/cfg/vaq_cfg_user_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Vaq::Cfg;

namespace {

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(UserFileNames, configDirComesFromVaqThenXdgAndOnlySavingCreatesIt)
{
    const QByteArray savedDir = qgetenv("VAQ_CONFIG_DIR"), savedXdg = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir dir;
    const QString folder = dir.filePath("nested/config");
    qputenv("VAQ_CONFIG_DIR", folder.toLocal8Bit() + "/");
    qputenv("XDG_CONFIG_HOME", "/tmp/xdg");
    EXPECT_EQ(UserFile::getLoadFileName("a.dat"), folder + "/a.dat");
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_EQ(UserFile::getSaveFileName("a.dat"), folder + "/a.dat");
    EXPECT_TRUE(QDir(folder).exists());
    qputenv("VAQ_CONFIG_DIR", "");
    EXPECT_EQ(UserFile::getLoadFileName("a.dat"), "/tmp/xdg/vaq/a.dat");
    qputenv("VAQ_CONFIG_DIR", savedDir);
    qputenv("XDG_CONFIG_HOME", savedXdg);
}

TEST(UserFileWrite, replacesTheContentsOrOnFailureKeepsWhatWasThereAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("data.dat");
    ASSERT_TRUE(UserFile::writeAtomically(fileName, "old contents"));
    EXPECT_EQ(readAll(fileName), "old contents");

    UserFile::setFailBeforeRenameForTesting(true);
    testing::internal::CaptureStdout();
    const bool written = UserFile::writeAtomically(fileName, "new");
    const std::string trace = testing::internal::GetCapturedStdout();
    UserFile::setFailBeforeRenameForTesting(false);
    EXPECT_FALSE(written);
    EXPECT_EQ(readAll(fileName), "old contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({ "data.dat" }));
    EXPECT_NE(trace.find("cannot write " + fileName.toStdString() + ": rename refused for testing"),
        std::string::npos);
}
