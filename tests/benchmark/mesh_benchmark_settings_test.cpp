// The mesh benchmark's parameter text, view size and element counts: what a run is asked
// for and how its frame rates become element rates, checked without drawing anything.
#include "gcad/benchmark/gcad_benchmark_settings.h"
#include "gcad/benchmark/gcad_cmd_benchmark.h"

#include <gtest/gtest.h>

using namespace Vaq::GCAD;

TEST(MeshBenchmarkSettings, readsEveryItemInAnyOrderTheLastOfAKindWinning)
{
    MeshBenchmarkSettings settings;
    QString error;
    ASSERT_TRUE(settings.parse(QStringLiteral("verbose dome=11\tsize=300  quick size=1427 dome=2"), &error))
        << error.toStdString();
    EXPECT_EQ(settings.widgetSize, 1427u);
    EXPECT_EQ(settings.minSeconds, 0.1);
    EXPECT_EQ(settings.minFrames, 2u);
    EXPECT_EQ(settings.domeSize, 2u);
    EXPECT_TRUE(settings.verbose);

    ASSERT_TRUE(settings.parse(QStringLiteral("size=16384 dome=1001"), &error));
    EXPECT_EQ(settings.widgetSize, 16384u);
    EXPECT_EQ(settings.domeSize, 1001u);
}

TEST(MeshBenchmarkSettings, onlyTheFullRunStandsForTheConfiguration)
{
    // Verbose output and naming the full dome change no measurement; every other item does.
    const std::pair<const char *, bool> cases[]
        = { { "", true }, { "verbose", true }, { "dome=1001 verbose", true }, { "quick", false },
              { "size=1427", false }, { "dome=1000", false }, { "verbose quick", false } };
    for (const auto &[text, full] : cases) {
        MeshBenchmarkSettings settings;
        QString error;
        ASSERT_TRUE(settings.parse(QString::fromLatin1(text), &error)) << text;
        EXPECT_EQ(settings.isFullRun(), full) << text;
    }
}

TEST(MeshBenchmarkSettings, badItemsAreNamedAndChangeNothing)
{
    const std::pair<const char *, const char *> cases[] = {
        { "quick=1", "unknown parameter: 'quick=1'" },
        { "size", "unknown parameter: 'size'" },
        { "size=16385", "size: '16385' is not a whole number from 1 to 16384" },
        { "size=99999999999", "size: '99999999999' is not a whole number from 1 to 16384" },
        { "dome=1002", "dome: '1002' is not a whole number from 2 to 1001" },
        { "dome=+5", "dome: '+5' is not a whole number from 2 to 1001" },
    };
    for (const auto &[text, message] : cases) {
        MeshBenchmarkSettings settings;
        settings.widgetSize = 77;
        QString error;
        // A good item before the bad one is not taken either.
        EXPECT_FALSE(settings.parse(QStringLiteral("quick size=5 ") + text, &error)) << text;
        EXPECT_EQ(error, message);
        EXPECT_EQ(settings.widgetSize, 77u) << text;
        EXPECT_EQ(settings.minFrames, 5u) << text;
    }
}

TEST(MeshBenchmarkCommand, widgetSizeAndElementCounts)
{
    // The screen less its frame: sqrt(1770 x 1150) = 1426.7.
    EXPECT_EQ(MeshBenchmarkCommand::calculateWidgetSize(QSize(1920, 1200)), 1427u);
    EXPECT_EQ(MeshBenchmarkCommand::calculateWidgetSize(QSize(151, 51)), 1u);

    // 1001 x 1001 vertices: 1002001 points, 1503001 edges (3/2 per point, rounded down),
    // 2 x 1000 x 1000 triangles.
    EXPECT_EQ(MeshBenchmarkCommand::getElementCount(1001, true, false), 1503001u);
    EXPECT_EQ(MeshBenchmarkCommand::getElementCount(1001, false, true), 1002001u);
    EXPECT_EQ(MeshBenchmarkCommand::getElementCount(1001, false, false), 2000000u);
}
