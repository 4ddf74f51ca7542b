// The vertex cache benchmark: one line per cache size from 0 to 120 with the element model's
// hit ratio of the meshes shown in the main view and their measured triangle rate.
#include "gcad/gcad_library.h"
#include "gcad/host/cad/vaq_cad_bsp_tree.h"
#include "gcad/host/cfg/vaq_cfg_node.h"
#include "gcad/mesh/gcad_cmd_vertex_cache_benchmark.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/gcad_grid_mesh.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::GCAD;
using namespace Vaq::Test;

TEST(VertexCacheBenchmarkLine, RateIsMillionTrianglesPerSecondAndRatioTheTriangleWeightedMean)
{
    // 100000 triangles in 0.02 s a frame are 5 million a second.
    using Command = VertexCacheBenchmarkCommand;
    EXPECT_EQ(Command::formatLine(Command::measure(8, 100000, 75000.0, 0.02)),
        QStringLiteral("cache_size: 8  hit_ratio: 0.750000  tps: 5.00 M"));
    // A view without mesh triangles: nothing to weigh, nothing hit.
    EXPECT_EQ(Command::formatLine(Command::measure(120, 0, 0.0, 0.01)),
        QStringLiteral("cache_size: 120  hit_ratio: 0.000000  tps: 0.00 M"));
}

namespace {

class VertexCacheBenchmark : public GLTest
{
protected:
    void SetUp() override
    {
        InitDefaults(&configuration);
        new GLNodeContainer;
        GLTest::SetUp();
        command.setTiming(0.0, 2);
    }
    void TearDown() override
    {
        GLTest::TearDown();
        CloseLibrary();
        CloseDefaults(&configuration);
    }

    Cfg::CfgNode configuration;
    VertexCacheBenchmarkCommand command;
};

} // namespace

TEST_F(VertexCacheBenchmark, PrintsOneLinePerEvenCacheSizeUpTo120WithTheModelsHitRatio)
{
    // 40 x 40 vertices: 3042 triangles in one leaf.
    const auto mesh = makeGridMesh(40, 40);
    scene.show(mesh.get());
    GL::RenderObject::setMainRenderObject(view.get());
    const unsigned sizeBefore = CAD::BspTree::getVertexCacheSize();
    takeTraces();

    ASSERT_TRUE(command.executeScript(QString()));
    const QStringList lines = QString::fromStdString(takeTraces()).split('\n', Qt::SkipEmptyParts);
    const QRegularExpression pattern(QStringLiteral(
        "^Vaq::GCAD::VertexCacheBenchmarkCommand::executeScript\\(151\\): cache_size: (\\d+)  hit_ratio: "
        "([0-9.]+)  tps: ([0-9.]+) M$"));
    ASSERT_EQ(lines.size(), 61) << lines.join('\n').toStdString();
    std::vector<double> ratios;
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch match = pattern.match(lines[i]);
        ASSERT_TRUE(match.hasMatch()) << lines[i].toStdString();
        EXPECT_EQ(match.captured(1).toInt(), 2 * i);
        EXPECT_GT(match.captured(3).toDouble(), 0.0);
        ratios.push_back(match.captured(2).toDouble());
    }
    // Caches too small to hold a triangle hit nothing. A grid has about half as many vertices
    // as triangles, so at least 1/2 of the 3 corners of a triangle must be transformed: the
    // ratio stays below 5/6, and a large cache comes well above the 1/2 of a strip order.
    EXPECT_EQ(ratios[0], 0.0);
    EXPECT_EQ(ratios[1], 0.0);
    EXPECT_GT(ratios[60], 0.6);
    EXPECT_LT(ratios[60], 5.0 / 6.0);
    EXPECT_GT(ratios[60], ratios[2]);
    ASSERT_EQ(command.getMeasurements().size(), 61u);
    EXPECT_NEAR(command.getMeasurements()[60].hitRatio, ratios[60], 1e-6);
    // The views draw for the cache size they had before.
    EXPECT_EQ(CAD::BspTree::getVertexCacheSize(), sizeBefore);
}

TEST_F(VertexCacheBenchmark, FailsSilentlyWithoutAMainViewOrWithoutElements)
{
    GL::RenderObject::setMainRenderObject(view.get());
    takeTraces();
    EXPECT_FALSE(command.executeScript(QString()));
    GL::RenderObject::setMainRenderObject(nullptr);
    const auto mesh = makeGridMesh(4, 4);
    scene.show(mesh.get());
    EXPECT_FALSE(command.executeScript(QString()));
    EXPECT_EQ(takeTraces(), "");
    GL::RenderObject::setMainRenderObject(view.get());
}
