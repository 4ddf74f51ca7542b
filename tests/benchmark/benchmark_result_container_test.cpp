#include "gcad/benchmark/gcad_benchmark_result_container.h"

#include "tests/benchmark/benchmark_test_results.h"
#include "tests/support/prog_error_message.h"
#include "tests/support/test_environment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace Vaq::GCAD;
using namespace Vaq::GCAD::Test;

namespace {

class BenchmarkResultContainerTest : public testing::Test
{
protected:
    void SetUp() override { removeFiles(); }
    void TearDown() override { removeFiles(); }

    static QString fileName() { return QDir(Vaq::Test::configDir()).filePath("gcad_benchmark.dat"); }

    // The store's file and whatever was moved aside or put in its place.
    static void removeFiles()
    {
        QDir folder(Vaq::Test::configDir());
        for (const QString &name : folder.entryList({ "gcad_benchmark.dat*" }, QDir::AllEntries))
            QFileInfo(folder.filePath(name)).isDir() ? folder.rmdir(name) : folder.remove(name);
    }
    static QStringList movedAside()
    {
        return QDir(Vaq::Test::configDir()).entryList({ "gcad_benchmark.dat.unreadable-*" });
    }

    static std::string readFile(const QString &name = fileName())
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
    }

    static void writeFile(const std::string &text)
    {
        QFile file(fileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(text.data(), qint64(text.size())), qint64(text.size()));
    }

    static std::string printed(const BenchmarkResultContainer &store)
    {
        std::ostringstream os;
        store.printResults(os);
        return os.str();
    }
};

const BenchmarkResult _card_a = makeResult("Card A", "Mesa 22.3.6", false, 1);
const BenchmarkResult _card_b = makeResult("Card B", "NVIDIA 535.104.05", false, 2);
const Vaq::GL::WidgetOptions::Options _options_a = cardOptions(false, 1024, "Card A", "Mesa 22.3.6");
const Vaq::GL::WidgetOptions::Options _options_b = cardOptions(false, 1024, "Card B", "NVIDIA 535.104.05");

} // namespace

TEST_F(BenchmarkResultContainerTest, oneInstanceWhereAddingAConfigurationAgainReplacesItAtTheEnd)
{
    BenchmarkResultContainer store;
    EXPECT_EQ(
        Vaq::Test::progErrorMessage([] { BenchmarkResultContainer second; }), "only one instance allowed");
    EXPECT_EQ(BenchmarkResultContainer::getInstance(), &store);
    store.addResult(_card_a);
    store.addResult(_card_b);
    BenchmarkResult result;
    // The same renderer and driver with software rendering is another configuration.
    EXPECT_FALSE(store.getResult(cardOptions(true, 1024, "Card A", "Mesa 22.3.6"), &result));
    ASSERT_TRUE(store.getResult(_options_a, &result));
    EXPECT_EQ(dump(result), dump(_card_a));

    const BenchmarkResult remeasured = makeResult("Card A", "Mesa 22.3.6", false, 7);
    store.addResult(remeasured);
    EXPECT_EQ(readFile(), fileText({ _card_b, remeasured }));
    // The match found before the list changed is not handed out again.
    ASSERT_TRUE(store.getResult(_options_a, &result));
    EXPECT_EQ(dump(result), dump(remeasured));
    EXPECT_EQ(printed(store), dump(_card_b) + dump(remeasured));
}

TEST_F(BenchmarkResultContainerTest, newestCompleteResultOfADamagedFileWinsAndClearingSavesAtTheEnd)
{
    // The store itself never writes two results of one configuration; the cut damages _card_b.
    const BenchmarkResult newer = makeResult("Card A", "Mesa 22.3.6", false, 9);
    std::string file = fileText({ _card_a, newer, _card_b });
    file.resize(file.size() - 20);
    writeFile(file);
    {
        BenchmarkResultContainer store;
        EXPECT_EQ(printed(store), dump(_card_a) + dump(newer));
        BenchmarkResult result;
        EXPECT_FALSE(store.getResult(_options_b, &result));
        ASSERT_TRUE(store.getResult(_options_a, &result));
        EXPECT_EQ(dump(result), dump(newer));
        store.clearResults();
        EXPECT_FALSE(store.getResult(_options_a, &result));
        EXPECT_EQ(dump(result), dump(newer)); // a miss leaves the result as it was
        EXPECT_EQ(printed(store), "");
        EXPECT_EQ(readFile(), file);
    }
    EXPECT_EQ(readFile(), "1 0 ");
    // The damaged file was not lost: it went aside before the new one was written.
    const QStringList aside = movedAside();
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(QDir(Vaq::Test::configDir()).filePath(aside[0])), file);
}

TEST_F(BenchmarkResultContainerTest, writesOnlyWhatChangedAndMovesAnUnreadableFileAsideFirst)
{
    // An empty store makes no file; a file the store would write differently (two results of
    // one configuration, other blanks) is kept while nothing changes.
    {
        BenchmarkResultContainer store;
    }
    EXPECT_EQ(readFile(), "<missing>");
    const std::string handEdited
        = "1  2\n" + fileText({ _card_a }).substr(4) + fileText({ _card_a }).substr(4);
    writeFile(handEdited);
    {
        BenchmarkResultContainer store;
        EXPECT_TRUE(store.saveResults());
    }
    EXPECT_EQ(readFile(), handEdited);

    // One flipped byte in the first of three records, and a file of a newer version: nothing
    // reads them, nothing overwrites them until a result is added, and then they go aside.
    std::string flipped = fileText({ _card_a, _card_b, makeResult("Card C", "", true, 3) });
    flipped[fileText({}).size() + 40] ^= 0x10;
    for (const std::string &text : { flipped, "2 1 " + fileText({ _card_a }).substr(4) }) {
        SCOPED_TRACE(text);
        removeFiles();
        writeFile(text);
        {
            BenchmarkResultContainer store;
        }
        EXPECT_EQ(readFile(), text);
        EXPECT_TRUE(movedAside().isEmpty());

        BenchmarkResultContainer store;
        store.addResult(_card_b);
        EXPECT_EQ(readFile(), fileText({ _card_b }));
        const QStringList aside = movedAside();
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(store.getMovedAsideFileName(), QDir(Vaq::Test::configDir()).filePath(aside[0]));
        EXPECT_EQ(readFile(store.getMovedAsideFileName()), text);
    }
}

TEST_F(BenchmarkResultContainerTest, aFailedSaveSaysWhyAndIsTriedAgain)
{
    // A folder in the file's place is neither read nor moved aside.
    ASSERT_TRUE(QDir(Vaq::Test::configDir()).mkdir("gcad_benchmark.dat"));
    BenchmarkResultContainer store;
    store.addResult(_card_a);
    QString error;
    EXPECT_FALSE(store.saveResults(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(fileName()).isDir());
    EXPECT_TRUE(movedAside().isEmpty());
    ASSERT_TRUE(QDir(Vaq::Test::configDir()).rmdir("gcad_benchmark.dat"));
    EXPECT_TRUE(store.saveResults());
    EXPECT_EQ(readFile(), fileText({ _card_a }));
}
