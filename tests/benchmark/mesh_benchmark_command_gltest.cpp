// The mesh benchmark command on a real context, with the library started as an application
// starts it: what one run measures, reports and (only when full) stores, how it guards the software-rendering
// setting, and how it refuses what it cannot run. No rate is compared with a time.
#include "gcad/benchmark/gcad_benchmark_crash_guard.h"
#include "gcad/benchmark/gcad_benchmark_rcb.h"
#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/benchmark/gcad_cmd_benchmark.h"
#include "gcad/gcad_config.h"
#include "gcad/gcad_library.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "tests/benchmark/benchmark_test_results.h"
#include "tests/support/test_environment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

using namespace Vaq;
using namespace Vaq::GCAD;
using namespace Vaq::GCAD::Test;

namespace {

const QString SMALL_RUN = QStringLiteral("size=40 dome=21 quick");
const QByteArray GUARD_ON = "OpenGL/SoftwareRendering\tlist\t2\n";

QByteArray readFile(const char *name)
{
    QFile file(QDir(Vaq::Test::configDir()).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
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

// Whether the store holds a result of the current configuration, copied into *result.
bool stored(BenchmarkResult *result)
{
    return BenchmarkResultContainer::getInstance()->getResult(
        GL::WidgetOptions::getInstance()->getCurrentWidgetOptions(), result);
}

class MeshBenchmarkCommandTest : public testing::Test
{
protected:
    void SetUp() override
    {
        removeFiles();
        InitDefaults(&m_node);
        InitLibrary(&m_node);
        window = GApp::MainWindow::getInstance();
        command
            = dynamic_cast<MeshBenchmarkCommand *>(GApp::CommandContainer::getCommand(CMD_BENCHMARK_MESH));
        ASSERT_NE(command, nullptr);
    }
    void TearDown() override
    {
        GApp::CommandContainer::deleteAll();
        CloseLibrary();
        CloseDefaults(&m_node);
        removeFiles();
    }
    static void removeFiles()
    {
        for (const char *name : { "gcad_benchmark.dat", "gcad_benchmark.guard" })
            QFile::remove(QDir(Vaq::Test::configDir()).filePath(name));
    }

    // Runs the benchmark with a companion measured beside it.
    bool runWithCompanion(BenchmarkRCB *companion, BenchmarkResult *result, const QString &parameters)
    {
        command->addCompanion(companion, result);
        const bool succeeded = window->execute(CMD_BENCHMARK_MESH, parameters);
        command->clearCompanions();
        return succeeded;
    }

    GApp::MainWindow *window = nullptr;
    MeshBenchmarkCommand *command = nullptr;

private:
    Cfg::CfgNode m_node;
};

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

// Records the turn of its view at each scene stage and whether it led the frame-rate plan.
class TurnRecordingRCB : public BenchmarkRCB
{
public:
    bool draw() override
    {
        if (getRenderStage() == GL::RenderObject::RS_LEVEL0) {
            turns.push_back(getRenderObject()->getRotation().y / 0.6283185307179586);
            ledPlan = ledPlan && GL::RenderCallback::getMasterRenderCallback() == this;
        }
        return BenchmarkRCB::draw();
    }
    std::vector<double> turns;
    bool ledPlan = true;
};

// Takes part in the point tests only.
class PointsOnlyRCB : public TurnRecordingRCB
{
public:
    bool measures(const CAD::ElemProp &properties) const override { return properties.showPoints; }
};

} // namespace

TEST_F(MeshBenchmarkCommandTest, aShortRunMeasuresThirtySixRatesUnderTheCrashGuardAndStoresNone)
{
    Cfg::CfgNode &root = softwareRenderingSetTo(1);
    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getCurrentWidgetOptions();
    const BenchmarkResult earlier
        = makeResult(options.renderer, options.driverVersion, options.softwareRendering, 3);
    BenchmarkResultContainer::getInstance()->addResult(earlier);
    // The companion's result is measured anew, but neither stored nor printed.
    TurnRecordingRCB companion;
    BenchmarkResult companionResult(cardOptions(true, 1024));
    setRates(&companionResult, [](unsigned, unsigned) { return 0u; });
    PointsOnlyRCB pointsOnly;
    BenchmarkResult pointsOnlyResult(cardOptions(true, 1024));
    setRates(&pointsOnlyResult, [](unsigned, unsigned) { return 0u; });
    command->addCompanion(&pointsOnly, &pointsOnlyResult);
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
    const bool succeeded = runWithCompanion(&companion, &companionResult, SMALL_RUN + " verbose");
    const QString out = QString::fromStdString(testing::internal::GetCapturedStdout());
    window->setProgressStream(nullptr);
    QObject::disconnect(window, &GApp::MainWindow::statusTextChanged, window, nullptr);
    ASSERT_TRUE(succeeded) << window->getLastError().toStdString();

    EXPECT_EQ(settingDuringRun, 2u);
    EXPECT_TRUE(savedDuringRun.contains(GUARD_ON)) << savedDuringRun.toStdString();
    EXPECT_EQ(root.getList(GL::CFG_SOFTWARE_RENDERING), 1u);
    EXPECT_TRUE(readFile("vaq.cfg").contains("OpenGL/SoftwareRendering\tlist\t1\n"));

    // The result of this configuration at the asked size; a small, quick run stands for no
    // configuration, so the store and its file keep the earlier result.
    ASSERT_TRUE(command->getLastResult());
    const BenchmarkResult &result = *command->getLastResult();
    EXPECT_EQ(result.getWidgetSize(), 40u);
    EXPECT_EQ(result.getRenderer(), options.renderer);
    BenchmarkResult kept;
    ASSERT_TRUE(stored(&kept));
    EXPECT_EQ(rates(kept), rates(earlier));
    EXPECT_EQ(readFile("gcad_benchmark.dat").toStdString(), fileText({ earlier }));
    ASSERT_NE(companion.getMesh(), nullptr);
    EXPECT_EQ(companion.getMesh()->getNumberOfVisiblePoints(CAD::StageIdentifier::NO_STAGE), 21u * 21u);
    for (unsigned rate : rates(companionResult))
        EXPECT_GT(rate, 0u);
    // A companion that sits tests out is not drawn in them and keeps their rates: the 24
    // point tests, each an untimed frame and at least two timed ones.
    const std::vector<unsigned> pointsOnlyRates = rates(pointsOnlyResult);
    for (std::size_t i = 0; i < pointsOnlyRates.size(); ++i)
        EXPECT_EQ(pointsOnlyRates[i] > 0, i % 9 >= 3) << i;
    EXPECT_GE(pointsOnly.turns.size(), 24u * 3);
    EXPECT_LT(pointsOnly.turns.size(), companion.turns.size());
    // The view shows 0.6 of the dome's width 1.0, so the dome fills it.
    BaVec3d<double> min, max;
    ASSERT_TRUE(companion.getBoundingBox(&min, &max));
    EXPECT_EQ(min, BaVec3d<double>(-0.3, -0.3, -2.0));
    EXPECT_EQ(max, BaVec3d<double>(0.3, 0.3, 2.0));
    // The companion leads the frame-rate plan; each test opens with an untimed frame at the
    // view's turn, then turns 0, 1, 2, ... as the run's view needs, at least two when quick.
    EXPECT_TRUE(companion.ledPlan);
    unsigned tests = 0;
    double next = 0.0;
    for (double turn : companion.turns) {
        if (tests > 0 && std::abs(turn - next) < 1e-9) {
            next += 1.0;
            continue;
        }
        EXPECT_TRUE(tests == 0 || next >= 2.0) << "test " << tests << " drew " << next << " frames";
        ++tests;
        next = 0.0;
    }
    EXPECT_GE(next, 2.0);
    EXPECT_EQ(tests, 36u);

    // Verbose: the card, then per mode its name and nine lines. The run goes flat before smooth,
    // the tables by 2 x smooth + color: the second mode printed is table 2, in millions.
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 4 * 10) << out.toStdString();
    EXPECT_EQ(lines[0], "Benchmark GPU: " + options.renderer);
    EXPECT_EQ(lines[11], "    mesh type: smooth, no color");
    const QRegularExpression rateLine(QStringLiteral("^        MElems/s: ([0-9.e+-]+)\tfps: "));
    for (int m = 0; m < 9; ++m) {
        const double rate = rates(result)[18 + m] / 1e6;
        EXPECT_NEAR(rateLine.match(lines[12 + m]).captured(1).toDouble(), rate, 1e-5 * rate + 1e-6) << m;
    }

    // The bar reaches 100 percent exactly with the 36th measurement.
    const QStringList bars
        = QString::fromStdString(progress.str()).split('\r', Qt::SkipEmptyParts).filter("run benchmark");
    ASSERT_EQ(bars.size(), 36);
    EXPECT_EQ(bars[34].trimmed(), GApp::ProgressDisplay::formatLine(97, "run benchmark"));
    EXPECT_EQ(bars[35].trimmed(), GApp::ProgressDisplay::formatLine(100, "run benchmark"));
    EXPECT_TRUE(window->getStatusText().isEmpty());
}

TEST_F(MeshBenchmarkCommandTest, refusalsAndFailuresStoreNothing)
{
    // Bad parameters and a card of 64 MB are refused before the crash guard is set.
    Cfg::CfgNode &root = softwareRenderingSetTo(0);
    EXPECT_FALSE(window->execute(CMD_BENCHMARK_MESH, "size=40 fast"));
    EXPECT_EQ(window->getLastError(), "sys.run_benchmark: unknown parameter: 'fast'");
    GL::WidgetOptions *widgetOptions = GL::WidgetOptions::getInstance();
    setenv("VAQ_GL_MEMORY_MB", "64", 1);
    widgetOptions->updateWidgetOptions();
    const bool smallCard = window->execute(CMD_BENCHMARK_MESH, SMALL_RUN);
    unsetenv("VAQ_GL_MEMORY_MB");
    widgetOptions->updateWidgetOptions();
    ASSERT_GT(widgetOptions->getCurrentWidgetOptions().memoryMB, 64u) << "the driver tells its memory";
    EXPECT_FALSE(smallCard);
    EXPECT_EQ(window->getLastError(), "command not available: sys.run_benchmark");
    EXPECT_EQ(root.getList(GL::CFG_SOFTWARE_RENDERING), 0u);

    // Wrong test data fails the run and leaves the guard saved, as after a crash: the next
    // start would use software rendering.
    softwareRenderingSetTo(1);
    GL::RenderCallback *master = GL::RenderCallback::getMasterRenderCallback();
    TwoMeshesRCB companion;
    BenchmarkResult companionResult;
    EXPECT_FALSE(runWithCompanion(&companion, &companionResult, SMALL_RUN));
    const QString error = window->getLastError();
    EXPECT_TRUE(error.startsWith("command failed: sys.run_benchmark: gcad_cmd_benchmark("))
        << error.toStdString();
    EXPECT_TRUE(error.endsWith("Vaq::GCAD::MeshBenchmarkCommand::runBenchmark: only one mesh allowed"))
        << error.toStdString();
    EXPECT_TRUE(readFile("vaq.cfg").contains(GUARD_ON));
    EXPECT_EQ(GL::RenderCallback::getMasterRenderCallback(), master);
    EXPECT_FALSE(stored(&companionResult));

    // The next run that completes puts back the user's setting from before the failed run, not
    // the guard's that it found.
    EXPECT_TRUE(BenchmarkCrashGuard::isLeftOn());
    ASSERT_TRUE(window->execute(CMD_BENCHMARK_MESH, SMALL_RUN)) << window->getLastError().toStdString();
    EXPECT_EQ(root.getList(GL::CFG_SOFTWARE_RENDERING), 1u);
    EXPECT_TRUE(readFile("vaq.cfg").contains("OpenGL/SoftwareRendering\tlist\t1\n"));
    EXPECT_FALSE(BenchmarkCrashGuard::isLeftOn());
}

TEST(MeshBenchmarkCommandWithoutLibrary, failsWithoutTouchingTheSettings)
{
    Cfg::CfgNode &root = softwareRenderingSetTo(1);
    MeshBenchmarkCommand command;
    GApp::MainWindow *window = GApp::MainWindow::getInstance();
    EXPECT_FALSE(window->execute(CMD_BENCHMARK_MESH, SMALL_RUN));
    EXPECT_TRUE(window->getLastError().startsWith("command failed: sys.run_benchmark: gcad_cmd_benchmark("));
    EXPECT_TRUE(window->getLastError().endsWith(
        "Vaq::GCAD::MeshBenchmarkCommand::executeScript: no benchmark result store (library not started)"))
        << window->getLastError().toStdString();
    EXPECT_EQ(root.getList(GL::CFG_SOFTWARE_RENDERING), 1u);
}
