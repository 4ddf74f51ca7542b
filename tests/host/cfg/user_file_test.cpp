#include "gcad/host/cfg/vaq_cfg_user_file.h"

#include "tests/support/test_environment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace Vaq::Cfg;

namespace {

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Sets environment variables for one test and puts the old values back afterwards.
class ScopedEnv
{
public:
    void set(const char *name, const QString &value)
    {
        remember(name);
        setenv(name, value.toLocal8Bit().constData(), 1);
    }
    void unset(const char *name)
    {
        remember(name);
        unsetenv(name);
    }
    ~ScopedEnv()
    {
        // Newest first, so a variable set twice ends at its value from before the first set.
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            const auto &[name, value] = *it;
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        }
    }

private:
    void remember(const char *name)
    {
        const char *old = std::getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    std::vector<std::pair<const char *, std::optional<std::string>>> m_saved;
};

} // namespace

TEST(UserFileNames, configDirComesFromVaqThenXdgThenHome)
{
    ScopedEnv env;
    env.set("VAQ_CONFIG_DIR", "/tmp/vaq-own/");
    env.set("XDG_CONFIG_HOME", "/tmp/xdg");
    env.set("HOME", "/tmp/home");
    EXPECT_EQ(UserFile::getConfigDir(), "/tmp/vaq-own");
    EXPECT_EQ(UserFile::getLoadFileName("gcad_benchmark.dat"), "/tmp/vaq-own/gcad_benchmark.dat");

    env.set("VAQ_CONFIG_DIR", "");
    EXPECT_EQ(UserFile::getLoadFileName("gcad_benchmark.dat"), "/tmp/xdg/vaq/gcad_benchmark.dat");

    env.unset("VAQ_CONFIG_DIR");
    env.unset("XDG_CONFIG_HOME");
    EXPECT_EQ(UserFile::getLoadFileName("gcad_benchmark.dat"), "/tmp/home/.config/vaq/gcad_benchmark.dat");
    EXPECT_EQ(UserFile::getLoadFileName("/abs/name.dat"), "/abs/name.dat");
}

TEST(UserFileNames, saveNameCreatesTheFolderButLoadNameDoesNot)
{
    QTemporaryDir dir;
    ScopedEnv env;
    const QString folder = dir.filePath("nested/config");
    env.set("VAQ_CONFIG_DIR", folder);
    EXPECT_EQ(UserFile::getLoadFileName("a.dat"), folder + "/a.dat");
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_EQ(UserFile::getSaveFileName("a.dat"), folder + "/a.dat");
    EXPECT_TRUE(QDir(folder).exists());
}

TEST(UserFileWrite, replacesTheContentsAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("data.dat");
    ASSERT_TRUE(UserFile::writeAtomically(fileName, "first"));
    ASSERT_TRUE(UserFile::writeAtomically(fileName, "second, longer"));
    EXPECT_EQ(readAll(fileName), "second, longer");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({ "data.dat" }));
}

TEST(UserFileWrite, failureBeforeTheRenameKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("data.dat");
    ASSERT_TRUE(UserFile::writeAtomically(fileName, "old contents"));

    UserFile::setFailBeforeRenameForTesting(true);
    testing::internal::CaptureStdout();
    const bool written = UserFile::writeAtomically(fileName, "new");
    const std::string trace = testing::internal::GetCapturedStdout();
    UserFile::setFailBeforeRenameForTesting(false);

    EXPECT_FALSE(written);
    EXPECT_EQ(readAll(fileName), "old contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({ "data.dat" }));
    EXPECT_NE(trace.find("Vaq::Cfg::UserFile::writeAtomically("), std::string::npos);
    EXPECT_NE(trace.find("cannot write " + fileName.toStdString() + ": rename refused for testing"),
        std::string::npos);
}

TEST(UserFileWrite, targetThatCannotBeReplacedFailsAndSurvives)
{
    QTemporaryDir dir;
    // A folder in the target's place cannot be renamed over.
    const QString target = dir.filePath("occupied");
    ASSERT_TRUE(QDir().mkpath(target + "/inside"));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(UserFile::writeAtomically(target, "data"));
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(QDir(target + "/inside").exists());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST(UserFileWrite, missingFolderFails)
{
    QTemporaryDir dir;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(UserFile::writeAtomically(dir.filePath("no/such/folder/x.dat"), "data"));
    testing::internal::GetCapturedStdout();
}
