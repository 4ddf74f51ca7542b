#include "gcad/host/cfg/vaq_cfg_user_file.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

using namespace Vaq::Cfg;

namespace {

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Puts the variables that choose the configuration folder back as they are now when the
// returned guard goes.
auto restoreFolderVariablesLater()
{
    std::vector<std::pair<const char *, std::optional<QByteArray>>> saved;
    for (const char *name : { "VAQ_CONFIG_DIR", "XDG_CONFIG_HOME", "HOME" })
        saved.emplace_back(
            name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    return qScopeGuard([saved] {
        for (const auto &[name, value] : saved)
            value ? qputenv(name, *value) : qunsetenv(name);
    });
}

} // namespace

TEST(UserFileNames, configDirComesFromVaqThenXdgThenHomeAndOnlySavingCreatesIt)
{
    const auto restore = restoreFolderVariablesLater();
    QTemporaryDir dir;
    const QString folder = dir.filePath("nested/config");
    qputenv("VAQ_CONFIG_DIR", folder.toLocal8Bit() + "/");
    qputenv("XDG_CONFIG_HOME", "/tmp/xdg");
    qputenv("HOME", "/tmp/home");
    EXPECT_EQ(UserFile::getConfigDir(), folder);
    EXPECT_EQ(UserFile::getLoadFileName("a.dat"), folder + "/a.dat");
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_EQ(UserFile::getSaveFileName("a.dat"), folder + "/a.dat");
    EXPECT_TRUE(QDir(folder).exists());

    qputenv("VAQ_CONFIG_DIR", "");
    EXPECT_EQ(UserFile::getLoadFileName("gcad_benchmark.dat"), "/tmp/xdg/vaq/gcad_benchmark.dat");
    qunsetenv("VAQ_CONFIG_DIR");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserFile::getLoadFileName("gcad_benchmark.dat"), "/tmp/home/.config/vaq/gcad_benchmark.dat");
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
