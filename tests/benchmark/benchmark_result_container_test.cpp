#include "gcad/benchmark/gcad_benchmark_result_container.h"

#include "tests/benchmark/benchmark_test_results.h"
#include "tests/support/prog_error_message.h"
#include "tests/support/test_environment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace Vaq::GCAD;
using namespace Vaq::GCAD::Test;

namespace {

class BenchmarkResultContainerTest : public testing::Test
{
protected:
    void SetUp() override { QFile::remove(fileName()); }
    void TearDown() override { QFile::remove(fileName()); }

    static QString fileName() { return QDir(Vaq::Test::configDir()).filePath("gcad_benchmark.dat"); }

    static std::string readFile()
    {
        QFile file(fileName());
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
}
