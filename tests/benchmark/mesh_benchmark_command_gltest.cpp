// The mesh benchmark command on a real context, with the library started as an application
// starts it: what one run measures, reports and stores, how it guards the software-rendering
// setting, and how it refuses what it cannot run. Runs use a small dome, a small view and
// short measurements; no rate is compared with a time.
#include "gcad/benchmark/gcad_benchmark_rcb.h"
#include "gcad/benchmark/gcad_benchmark_result.h"
#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/benchmark/gcad_benchmark_result_file.h"
#include "gcad/benchmark/gcad_cmd_benchmark.h"
#include "gcad/gcad_config.h"
#include "gcad/gcad_library.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "tests/benchmark/benchmark_test_results.h"
#include "tests/support/test_environment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

using namespace Vaq;
using namespace Vaq::GCAD;

namespace {

const QString SMALL_RUN = QStringLiteral("size=40 dome=21 quick");

QString configFile(const char *name)
{
    return QDir(Vaq::Test::configDir()).filePath(name);
}

QByteArray readFile(const char *name)
{
    QFile file(configFile(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

std::vector<BenchmarkResult> readStoreFile()
{
    std::ifstream is(configFile("gcad_benchmark.dat").toStdString());
    std::vector<BenchmarkResult> results;
    readBenchmarkResults(is, BenchmarkResult(GCAD::Test::cardOptions(true, 1024)), &results);
    return results;
}

// The software-rendering setting with the value the user chose, registered as the host's
// settings register it where no run has done so yet.
Cfg::CfgNode &softwareRenderingSetTo(unsigned value)
{
    Cfg::CfgNode &root = Cfg::getRoot();
    if (!root.exists(GL::CFG_SOFTWARE_RENDERING))
        root.addList(GL::CFG_SOFTWARE_RENDERING, QStringLiteral("software rendering"),
            { QStringLiteral("automatic"), QStringLiteral("off"), QStringLiteral("on") }, 0,
            Cfg::CfgItem::FLAG_OPTIONS_DIALOG);
    root.setList(GL::CFG_SOFTWARE_RENDERING, value);
    return root;
}

class MeshBenchmarkCommandTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(configFile("gcad_benchmark.dat"));
        InitDefaults(&m_node);
        InitLibrary(&m_node);
        window = GApp::MainWindow::getMainWindow();
    }
    void TearDown() override
    {
        GApp::CommandContainer::deleteAll();
        CloseLibrary();
        CloseDefaults(&m_node);
        QFile::remove(configFile("gcad_benchmark.dat"));
    }

    static BenchmarkResult storedResult()
    {
        BenchmarkResult result(GCAD::Test::cardOptions(true, 1024));
        EXPECT_TRUE(BenchmarkResultContainer::_instance->getResult(
            GL::WidgetOptions::getInstance()->getCurrentWidgetOptions(), &result));
        return result;
    }

    GApp::MainWindow *window = nullptr;

private:
    Cfg::CfgNode m_node;
};

} // namespace

TEST_F(MeshBenchmarkCommandTest, aRunMeasuresThirtySixRatesUnderTheCrashGuardAndStoresThem)
{
    Cfg::CfgNode &root = softwareRenderingSetTo(1);
    const QByteArray guardOff = "OpenGL/SoftwareRendering\tlist\t1\n";
    const QByteArray guardOn = "OpenGL/SoftwareRendering\tlist\t2\n";
    // The test data is made once the guard is saved.
    unsigned settingDuringRun = 0;
    QByteArray savedDuringRun;
    QObject::connect(window, &GApp::MainWindow::statusTextChanged, window, [&](const QString &text) {
        if (text == "create benchmark data") {
            settingDuringRun = root.getList(GL::CFG_SOFTWARE_RENDERING);
            savedDuringRun = readFile("vaq.cfg");
        }
    });
    std::ostringstream progress;
    window->setProgressStream(&progress);
    testing::internal::CaptureStdout();
    const bool succeeded = window->execute(CMD_BENCHMARK_MESH, SMALL_RUN + " verbose");
    const QString out = QString::fromStdString(testing::internal::GetCapturedStdout());
    window->setProgressStream(nullptr);
    QObject::disconnect(window, &GApp::MainWindow::statusTextChanged, window, nullptr);
    ASSERT_TRUE(succeeded) << window->getLastError().toStdString();

    EXPECT_EQ(settingDuringRun, 2u);
    EXPECT_TRUE(savedDuringRun.contains(guardOn)) << savedDuringRun.toStdString();
    EXPECT_EQ(root.getList(GL::CFG_SOFTWARE_RENDERING), 1u);
    EXPECT_TRUE(readFile("vaq.cfg").contains(guardOff));
    EXPECT_FALSE(out.contains("GL-Default error")) << out.toStdString();

    // The result of this configuration, at the asked size, in the store and its file.
    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getCurrentWidgetOptions();
    const BenchmarkResult result = storedResult();
    EXPECT_EQ(result.getRenderer(), options.renderer);
    EXPECT_EQ(result.getDriverVersion(), options.driverVersion);
    EXPECT_EQ(result.isSoftwareRendering(), options.softwareRendering);
    EXPECT_EQ(result.getWidgetSize(), 40u);
    const std::vector<BenchmarkResult> inFile = readStoreFile();
    ASSERT_EQ(inFile.size(), 1u);
    EXPECT_EQ(GCAD::Test::dump(inFile[0]), GCAD::Test::dump(result));

    // The verbose lines: the card, then per mode its name and nine measurements, each rate
    // the one stored for it (printed in millions).
    QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 4 * 10) << out.toStdString();
    EXPECT_EQ(lines.takeFirst(), "Benchmark GPU: " + options.renderer);
    const QRegularExpression measurementLine(
        QStringLiteral("^        MElems/s: ([0-9.e+-]+)\tfps: ([0-9.e+-]+)\t(.+)$"));
    const std::pair<const char *, bool> modes[] = { { "flat,   no color", false },
        { "smooth, no color", true }, { "flat,   color", false }, { "smooth, color", true } };
    int modeIndex = 0;
    for (const auto &[modeName, smooth] : modes) {
        const bool color = modeIndex++ >= 2;
        EXPECT_EQ(lines.takeFirst(), QStringLiteral("    mesh type: ") + modeName);
        std::vector<std::pair<QString, unsigned>> expected = {
            { "wireframe", result.getEdgeStats(smooth, color) },
            { "triangles twosided", result.getTwosidedTriangleStats(smooth, color) },
            { "triangles singlesided", result.getSinglesidedTriangleStats(smooth, color) },
        };
        for (unsigned stepping : BenchmarkResult::_steppings)
            expected.emplace_back(QStringLiteral("points - step %1").arg(stepping),
                result.getPointStats(smooth, color, stepping));
        for (const auto &[name, rate] : expected) {
            const QRegularExpressionMatch match = measurementLine.match(lines.takeFirst());
            ASSERT_TRUE(match.hasMatch()) << modeName << " " << name.toStdString();
            EXPECT_EQ(match.captured(3), name);
            EXPECT_GT(rate, 0u) << name.toStdString();
            EXPECT_NEAR(match.captured(1).toDouble(), rate / 1e6, 1e-5 * rate / 1e6 + 1e-6)
                << name.toStdString();
            EXPECT_GT(match.captured(2).toDouble(), 0.0);
        }
    }

    // The bar: first the test data at 0 %, then one update per measurement whose percent
    // reaches 100 exactly with the 36th; the line ends with the run.
    QStringList bars = QString::fromStdString(progress.str()).split('\r', Qt::SkipEmptyParts);
    ASSERT_FALSE(bars.isEmpty());
    EXPECT_TRUE(bars.last().endsWith('\n'));
    QStringList runBars;
    for (const QString &bar : bars) {
        if (bar.contains("run benchmark"))
            runBars << bar.trimmed();
    }
    ASSERT_EQ(runBars.size(), 36);
    for (int i = 0; i < 36; ++i)
        EXPECT_EQ(runBars[i], GApp::ProgressDisplay::formatLine((i + 1) * 100 / 36, "run benchmark"));
    EXPECT_TRUE(runBars[34].contains(" 97% ")) << runBars[34].toStdString();
    EXPECT_EQ(bars.first().trimmed(), GApp::ProgressDisplay::formatLine(0, "create benchmark data"));
    EXPECT_TRUE(window->getStatusText().isEmpty());
}

TEST_F(MeshBenchmarkCommandTest, aRunReplacesTheConfigurationsResultAndMeasuresItsCompanionUnstored)
{
    // An earlier result of this configuration.
    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getCurrentWidgetOptions();
    BenchmarkResult earlier
        = GCAD::Test::makeResult(options.renderer, options.driverVersion, options.softwareRendering, 3);
    BenchmarkResultContainer::_instance->addResult(earlier);
    ASSERT_EQ(storedResult().getWidgetSize(), 503u);

    // Every rate of the companion's result is measured anew.
    auto *command
        = dynamic_cast<MeshBenchmarkCommand *>(GApp::CommandContainer::getCommand(CMD_BENCHMARK_MESH));
    ASSERT_NE(command, nullptr);
    BenchmarkRCB companion;
    BenchmarkResult companionResult(GCAD::Test::cardOptions(true, 1024));
    for (bool smooth : { false, true }) {
        for (bool color : { false, true }) {
            companionResult.setEdgeStats(smooth, color, 0);
            companionResult.setTwosidedTriangleStats(smooth, color, 0);
            companionResult.setSinglesidedTriangleStats(smooth, color, 0);
            for (unsigned stepping : BenchmarkResult::_steppings)
                companionResult.setPointStats(smooth, color, stepping, 0);
        }
    }
    command->setCompanion(&companion, &companionResult);
    const bool succeeded = window->execute(CMD_BENCHMARK_MESH, "size=32 dome=3 quick");
    command->setCompanion(nullptr, nullptr);
    ASSERT_TRUE(succeeded) << window->getLastError().toStdString();

    EXPECT_EQ(storedResult().getWidgetSize(), 32u);
    const std::vector<BenchmarkResult> inFile = readStoreFile();
    ASSERT_EQ(inFile.size(), 1u);
    EXPECT_EQ(inFile[0].getWidgetSize(), 32u);
    ASSERT_NE(companion.getMesh(), nullptr);
    EXPECT_EQ(companion.getMesh()->getNumberOfVisiblePoints(CAD::StageIdentifier::NO_STAGE), 9u);
    for (bool smooth : { false, true }) {
        for (bool color : { false, true }) {
            EXPECT_GT(companionResult.getEdgeStats(smooth, color), 0u);
            EXPECT_GT(companionResult.getTwosidedTriangleStats(smooth, color), 0u);
            EXPECT_GT(companionResult.getSinglesidedTriangleStats(smooth, color), 0u);
            for (unsigned stepping : BenchmarkResult::_steppings)
                EXPECT_GT(companionResult.getPointStats(smooth, color, stepping), 0u) << stepping;
        }
    }
}

TEST_F(MeshBenchmarkCommandTest, badParametersAndSmallCardsAreRefusedBeforeAnythingRuns)
{
    Cfg::CfgNode &root = softwareRenderingSetTo(0);
    EXPECT_FALSE(window->execute(CMD_BENCHMARK_MESH, "size=40 fast"));
    EXPECT_EQ(window->getLastError(), "sys.run_benchmark: unknown parameter: 'fast'");
    EXPECT_FALSE(window->execute(CMD_BENCHMARK_MESH, "dome=1"));
    EXPECT_EQ(window->getLastError(), "sys.run_benchmark: dome: '1' is not a whole number from 2 to 1001");

    // A card of 64 MB is not measured.
    GL::WidgetOptions *widgetOptions = GL::WidgetOptions::getInstance();
    setenv("VAQ_GL_MEMORY_MB", "64", 1);
    widgetOptions->updateWidgetOptions();
    const bool smallCard = window->execute(CMD_BENCHMARK_MESH, SMALL_RUN);
    unsetenv("VAQ_GL_MEMORY_MB");
    widgetOptions->updateWidgetOptions();
    ASSERT_GT(widgetOptions->getCurrentWidgetOptions().memoryMB, 64u) << "the driver tells its memory";
    EXPECT_FALSE(smallCard);
    EXPECT_EQ(window->getLastError(), "command not available: sys.run_benchmark");

    BenchmarkResult result;
    EXPECT_FALSE(
        BenchmarkResultContainer::_instance->getResult(widgetOptions->getCurrentWidgetOptions(), &result));
    EXPECT_EQ(root.getList(GL::CFG_SOFTWARE_RENDERING), 0u);
}

namespace {

// Wrong test data: the mesh twice.
class TwoMeshesRCB : public BenchmarkRCB
{
public:
    std::vector<CAD::ElementAndStageImp> getElementsForDrawing() override
    {
        std::vector<CAD::ElementAndStageImp> shown = BenchmarkRCB::getElementsForDrawing();
        shown.insert(shown.end(), shown.begin(), shown.end());
        return shown;
    }
};

} // namespace

TEST_F(MeshBenchmarkCommandTest, wrongTestDataFailsAndLeavesTheCrashGuardSaved)
{
    softwareRenderingSetTo(1);
    auto *command
        = dynamic_cast<MeshBenchmarkCommand *>(GApp::CommandContainer::getCommand(CMD_BENCHMARK_MESH));
    ASSERT_NE(command, nullptr);
    GL::RenderCallback *master = GL::RenderCallback::getMasterRenderCallback();
    TwoMeshesRCB companion;
    BenchmarkResult companionResult;
    command->setCompanion(&companion, &companionResult);
    const bool succeeded = window->execute(CMD_BENCHMARK_MESH, SMALL_RUN);
    command->setCompanion(nullptr, nullptr);

    EXPECT_FALSE(succeeded);
    const QString error = window->getLastError();
    EXPECT_TRUE(error.startsWith("command failed: sys.run_benchmark: gcad_cmd_benchmark("))
        << error.toStdString();
    EXPECT_TRUE(error.endsWith("Vaq::GCAD::MeshBenchmarkCommand::runBenchmark: only one mesh allowed"))
        << error.toStdString();
    // As after a crash: the next start would use software rendering.
    EXPECT_TRUE(readFile("vaq.cfg").contains("OpenGL/SoftwareRendering\tlist\t2\n"));
    BenchmarkResult result;
    EXPECT_FALSE(BenchmarkResultContainer::_instance->getResult(
        GL::WidgetOptions::getInstance()->getCurrentWidgetOptions(), &result));
    EXPECT_EQ(GL::RenderCallback::getMasterRenderCallback(), master);
}

TEST(MeshBenchmarkCommandWithoutLibrary, failsWithoutTouchingTheSettings)
{
    Cfg::CfgNode &root = softwareRenderingSetTo(1);
    MeshBenchmarkCommand command;
    GApp::MainWindow *window = GApp::MainWindow::getMainWindow();
    EXPECT_FALSE(window->execute(CMD_BENCHMARK_MESH, SMALL_RUN));
    EXPECT_TRUE(window->getLastError().startsWith("command failed: sys.run_benchmark: gcad_cmd_benchmark("));
    EXPECT_TRUE(window->getLastError().endsWith(
        "Vaq::GCAD::MeshBenchmarkCommand::executeScript: no benchmark result store (library not started)"))
        << window->getLastError().toStdString();
    EXPECT_EQ(root.getList(GL::CFG_SOFTWARE_RENDERING), 1u);
}

TEST(BenchmarkRCB, showsTheChosenDomeOverfillingItsView)
{
    GLNodeContainer nodes; // the mesh renderer's, outliving the callback
    BenchmarkRCB callback;
    EXPECT_TRUE(callback.getElementsForDrawing().empty());
    EXPECT_EQ(callback.getNumberOfPointsForDrawing(), 0u);
    callback.createTestData(5);

    CAD::PolyBase *plain = callback.getMesh();
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->getFileName(), "poly_benchmark");
    EXPECT_EQ(plain->getType(), CAD::ElementCreator::MESH);
    EXPECT_TRUE(plain->getDrawColors().empty());
    callback.setColor(true);
    CAD::PolyBase *colored = callback.getMesh();
    EXPECT_EQ(colored->getFileName(), "poly_color_benchmark");
    // A kind that shows its vertex colours on the surface and on the points.
    EXPECT_EQ(colored->getType(), CAD::ElementCreator::MESH_INSPECTION);
    EXPECT_EQ(colored->getDrawColors().size(), 25u);
    for (CAD::PolyBase *mesh : { plain, colored }) {
        EXPECT_EQ(mesh->getData(CAD::StageIdentifier::NO_STAGE)->triangles.size(), 32u);
        EXPECT_EQ(mesh->getBoundary(), nullptr);
        EXPECT_NE(mesh->getPolyBaseRenderData(CAD::StageIdentifier::NO_STAGE), nullptr);
    }
    const std::vector<CAD::ElementAndStageImp> shown = callback.getElementsForDrawing();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].element, colored);
    EXPECT_EQ(callback.getNumberOfPointsForDrawing(), 25u);
    EXPECT_TRUE(callback.acceptsObject(plain));
    EXPECT_FALSE(callback.acceptsObject(nullptr));

    BaVec3d<double> min, max;
    ASSERT_TRUE(callback.getBoundingBox(&min, &max));
    EXPECT_EQ(min, BaVec3d<double>(-0.3, -0.3, -2.0));
    EXPECT_EQ(max, BaVec3d<double>(0.3, 0.3, 2.0));

    // The view shows the box's width, 0.6 of the dome's 1.0: seen from above, the dome
    // covers every pixel, the corners included.
    callback.setColor(false);
    const std::unique_ptr<GL::RenderObject> view(GL::RenderObject::createRenderObject(&callback, 32, 32));
    EXPECT_DOUBLE_EQ(view->getScale(), 0.6);
    view->repaintWidget();
    const QImage image = view->getRenderedImage();
    const QRgb background = qRgb(0, 0, 0);
    for (const QPoint &pixel : { QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31), QPoint(16, 16) })
        EXPECT_NE(image.pixel(pixel) & 0xFFFFFF, background & 0xFFFFFF) << pixel.x() << "," << pixel.y();
}
