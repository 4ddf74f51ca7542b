// The start-up check and the card information dialog on the real driver, driven offscreen: a
// test answers every dialog in place of the user (GTools::setDialogAnswerer) and reads what it
// shows, in English and in German.
#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/benchmark/gcad_board_check.h"
#include "gcad/benchmark/gcad_cmd_card_info.h"
#include "gcad/benchmark/gcad_dlg_card_info.h"
#include "gcad/gcad_config.h"
#include "gcad/gcad_library.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_dialogs.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gapp/vaq_gapp_menu_callback.h"
#include "gcad/host/gl/vaq_gl_graphic_card_db.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "tests/support/prog_error_message.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTranslator>

#include <gtest/gtest.h>

namespace Vaq::GL {
extern const char *const _graphic_cards_data;
}

using namespace Vaq;
using namespace Vaq::GCAD;

namespace {

// Stands in for the mesh benchmark, which takes minutes: the check and the dialog only run it.
class BenchmarkStandIn : public GApp::Command
{
public:
    BenchmarkStandIn()
        : GApp::Command(CMD_BENCHMARK_MESH, QStringLiteral("run benchmark"))
    {
    }
    bool isAvailable() const override { return available; }
    bool executeScript(const QString &) override
    {
        ++runs;
        return true;
    }
    bool available = true;
    int runs = 0;
};

// The library's German texts while it lives.
class GermanTexts
{
public:
    GermanTexts()
    {
        EXPECT_TRUE(m_translator.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("VaqGCAD"),
            QStringLiteral("_"), QStringLiteral(GCAD_TEST_TRANSLATIONS_DIR)));
        QCoreApplication::installTranslator(&m_translator);
    }
    ~GermanTexts() { QCoreApplication::removeTranslator(&m_translator); }

private:
    QTranslator m_translator;
};

template<typename W> W *child(QDialog &dialog, const char *name)
{
    W *widget = dialog.findChild<W *>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

QString text(QDialog &dialog, const char *name)
{
    return child<QLabel>(dialog, name)->text();
}

// The widgets of the dialog that are shown, by object name.
QStringList shownWidgets(QDialog &dialog)
{
    QStringList names;
    for (const QWidget *widget : dialog.findChildren<QWidget *>()) {
        if (widget->objectName().startsWith('_') && widget->isVisibleTo(&dialog))
            names << widget->objectName();
    }
    names.sort();
    return names;
}

// A dialog as the answerer saw it.
struct Seen
{
    QString title;
    QString text;
};

class BoardCheck : public testing::Test
{
protected:
    void SetUp() override
    {
        Cfg::CfgNode &root = Cfg::getRoot();
        GApp::MainWindow::getInstance(); // registers the host's view settings
        if (!root.exists(CFG_GCAD_NODE))
            registerConfigEntries(root);
        for (const char *key :
            { CFG_GCAD_INFO_CERTIFIED, CFG_GCAD_INFO_SOFTWARE_RENDERING, CFG_GCAD_INFO_OFFSCREEN_RENDERING })
            root.setUInt(key, 0);
        root.setString(CFG_GCAD_INFO_DRIVER_VERSION, QString());
        root.setList(GL::CFG_SOFTWARE_RENDERING, 0);
        // llvmpipe plays a hardware driver unless a test says otherwise.
        setSoftwareRendering(false);
        InitDefaults(&root);
        BenchmarkResultContainer::getInstance()->clearResults();
        GTools::setDialogAnswerer([this](QDialog &dialog) {
            auto *box = qobject_cast<QMessageBox *>(&dialog);
            seen.push_back({ dialog.windowTitle(),
                box ? box->text()
                    : dialog.findChild<QLabel *>(QStringLiteral("_info_text_w"))
                    ? text(dialog, "_info_text_w")
                    : QString() });
            if (answer)
                answer(dialog);
        });
    }
    void TearDown() override
    {
        GTools::setDialogAnswerer({});
        GApp::CommandContainer::deleteAll();
        CloseDefaults(&Cfg::getRoot());
        QString error;
        GL::GraphicCardDB::getInstance()->parse(QString::fromUtf8(GL::_graphic_cards_data), &error);
        GL::WidgetOptions::getInstance()->setSoftwareRenderingSetting(0);
        qunsetenv("LIBGL_ALWAYS_SOFTWARE");
        GL::WidgetOptions::getInstance()->setOffscreenRenderingSetting(0);
        qunsetenv("VAQ_GL_SOFTWARE_RENDERING");
        GL::WidgetOptions::getInstance()->updateWidgetOptions();
    }

    static void setSoftwareRendering(bool on)
    {
        qputenv("VAQ_GL_SOFTWARE_RENDERING", on ? "1" : "0");
        GL::WidgetOptions::getInstance()->updateWidgetOptions();
    }
    static void setCertified(bool certified)
    {
        QString error;
        ASSERT_TRUE(GL::GraphicCardDB::getInstance()->parse(
            certified ? QStringLiteral("* | * | 1.0") : QStringLiteral("Acme | Acme 3D | Acme 1.0"), &error));
    }
    static const GL::WidgetOptions::Options &options()
    {
        return GL::WidgetOptions::getInstance()->getCurrentWidgetOptions();
    }
    static void storeStates(unsigned certified, unsigned software, unsigned offscreen, const QString &driver)
    {
        Cfg::CfgNode &root = Cfg::getRoot();
        root.setUInt(CFG_GCAD_INFO_CERTIFIED, certified);
        root.setUInt(CFG_GCAD_INFO_SOFTWARE_RENDERING, software);
        root.setUInt(CFG_GCAD_INFO_OFFSCREEN_RENDERING, offscreen);
        root.setString(CFG_GCAD_INFO_DRIVER_VERSION, driver);
    }
    static QStringList storedStates()
    {
        const Cfg::CfgNode &root = Cfg::getRoot();
        return { QString::number(root.getUInt(CFG_GCAD_INFO_CERTIFIED)),
            QString::number(root.getUInt(CFG_GCAD_INFO_SOFTWARE_RENDERING)),
            QString::number(root.getUInt(CFG_GCAD_INFO_OFFSCREEN_RENDERING)),
            root.getString(CFG_GCAD_INFO_DRIVER_VERSION) };
    }
    static void addResultForThisBoard()
    {
        BenchmarkResult result(options());
        result.setRenderer(options().renderer);
        result.setDriverVersion(options().driverVersion);
        result.setSoftwareRendering(options().softwareRendering);
        BenchmarkResultContainer::getInstance()->addResult(result);
    }

    std::vector<Seen> seen;
    std::function<void(QDialog &)> answer;
};

} // namespace

TEST_F(BoardCheck, FirstStartOnACertifiedBoardAsksForTheBenchmarkThenShowsTheCard)
{
    setCertified(true);
    auto *benchmark = new BenchmarkStandIn;
    answer = [](QDialog &dialog) {
        if (dialog.objectName() == "Vaq_GCADCheckBoard_dlg") {
            // Only the text and OK.
            EXPECT_EQ(shownWidgets(dialog), QStringList({ "_info_text_w", "_ok_w" }));
            child<QPushButton>(dialog, "_ok_w")->click();
        } else {
            child<QPushButton>(dialog, "_btn_close")->click();
        }
    };
    checkGraphicBoardConfiguration();

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].title, "no benchmark results");
    EXPECT_TRUE(seen[0].text.startsWith("for optimal 3d performance a graphic card benchmark is required."));
    EXPECT_EQ(seen[1].title, "card info");
    EXPECT_EQ(benchmark->runs, 1);
    EXPECT_EQ(storedStates(), QStringList({ "1", "2", "1", options().driverVersion }));
}

TEST_F(BoardCheck, UnchangedBoardWithAResultAndABatchStartShowNothing)
{
    setCertified(true);
    addResultForThisBoard();
    storeStates(1, 2, 1, options().driverVersion);
    checkGraphicBoardConfiguration();
    EXPECT_TRUE(seen.empty());

    // A first start, but no user at hand.
    storeStates(0, 0, 0, QString());
    GApp::MenuFunctionFinishedCallback::setCallbackRegistrationDisabled(true);
    checkGraphicBoardConfiguration();
    GApp::MenuFunctionFinishedCallback::setCallbackRegistrationDisabled(false);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(storedStates(), QStringList({ "0", "0", "0", "" }));
}

TEST_F(BoardCheck, NewDriverAsksAgainAndSaysWhy)
{
    setCertified(true);
    addResultForThisBoard();
    storeStates(1, 2, 1, QStringLiteral("Mesa 1.0"));
    checkGraphicBoardConfiguration();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "no benchmark results");
    EXPECT_TRUE(seen[0].text.startsWith(
        "your driver version has changed since the last start of the software<br><br>"));
    EXPECT_EQ(storedStates().last(), options().driverVersion);
}

TEST_F(BoardCheck, ClosingTheDialogOfAnUncertifiedBoardChangesNoSettingButStoresTheStates)
{
    setCertified(false);
    auto *benchmark = new BenchmarkStandIn;
    answer = [](QDialog &dialog) {
        EXPECT_EQ(shownWidgets(dialog),
            QStringList({ "_icon_w", "_info_text_w", "_lab_render_mode_w", "_ok_w", "_render_mode_w",
                "_sep_info_w", "_warning_text_w" }));
        auto *modes = child<QComboBox>(dialog, "_render_mode_w");
        ASSERT_EQ(modes->count(), 2);
        EXPECT_EQ(modes->itemText(0), "software rendering");
        EXPECT_EQ(modes->itemText(1), "hardware rendering");
        EXPECT_EQ(text(dialog, "_lab_render_mode_w"), "select render mode");
        EXPECT_EQ(text(dialog, "_warning_text_w"),
            "to avoid driver and rendering issues at cost of:<ul><li>slow 3d performance</li><li>snapshot "
            "may "
            "have incorrect areas</li><li>no high resolution snapshots</li><li>no graphic card benchmark "
            "possible</li></ul>");
        EXPECT_FALSE(child<QLabel>(dialog, "_icon_w")->pixmap().isNull());
        // Hardware rendering warns of its risks.
        modes->setCurrentIndex(1);
        emit modes->activated(1);
        EXPECT_TRUE(text(dialog, "_warning_text_w")
                        .startsWith("use hardware rendering for full 3d performance at your own risk."));
        EXPECT_TRUE(text(dialog, "_warning_text_w")
                        .contains("<li>software crashes</li><li>visualization errors</li>"));
    };
    checkGraphicBoardConfiguration();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "graphic board and driver are not certified");
    EXPECT_TRUE(seen[0].text.startsWith("your graphic board has not been certified."));
    EXPECT_EQ(benchmark->runs, 0);
    EXPECT_EQ(Cfg::getRoot().getList(GL::CFG_SOFTWARE_RENDERING), 0u);
    EXPECT_EQ(storedStates(), QStringList({ "2", "2", "1", options().driverVersion }));
}

TEST_F(BoardCheck, ChoosingSoftwareRenderingSwitchesItOnAndStoresThatState)
{
    setCertified(false);
    answer = [](QDialog &dialog) {
        // The driver reports itself now as it would after the switch.
        qunsetenv("VAQ_GL_SOFTWARE_RENDERING");
        child<QPushButton>(dialog, "_ok_w")->click();
    };
    checkGraphicBoardConfiguration();
    EXPECT_EQ(Cfg::getRoot().getList(GL::CFG_SOFTWARE_RENDERING), 2u);
    EXPECT_TRUE(options().softwareRendering);
    EXPECT_EQ(storedStates().mid(0, 3), QStringList({ "2", "1", "1" }));
}

TEST_F(BoardCheck, SoftwareRenderingAndLostOffscreenRenderingAreExplained)
{
    setSoftwareRendering(true);
    checkGraphicBoardConfiguration();
    setSoftwareRendering(false);
    GL::WidgetOptions::getInstance()->setOffscreenRenderingSetting(1);
    checkGraphicBoardConfiguration();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].title, "software rendering enabled");
    EXPECT_EQ(seen[0].text,
        "not all graphic cards have quality OpenGL support. therefore the application will be started in "
        "software rendering mode. this has the following disadvantages:<ul><li>slow 3d performance</li><li>"
        "snapshot may have incorrect areas</li><li>no high resolution snapshots</li><li>no graphic card "
        "benchmark possible</li></ul>");
    EXPECT_EQ(seen[1].title, "offscreen rendering disabled");
    EXPECT_TRUE(seen[1].text.endsWith("<ul><li>snapshot may have incorrect areas</li><li>no high resolution "
                                      "snapshots</li><li>no optimal 3d performance</li><li>no graphic card "
                                      "benchmark possible</li></ul>"));
    EXPECT_EQ(storedStates().mid(1, 2), QStringList({ "2", "2" }));
}

TEST_F(BoardCheck, CheckDialogSpeaksGerman)
{
    const GermanTexts german;
    setCertified(false);
    answer = [](QDialog &dialog) {
        EXPECT_EQ(child<QPushButton>(dialog, "_ok_w")->text(), "OK");
        EXPECT_EQ(text(dialog, "_lab_render_mode_w"), "Rendermodus wählen");
        EXPECT_EQ(child<QComboBox>(dialog, "_render_mode_w")->itemText(1), "Hardware-Rendering");
        EXPECT_TRUE(text(dialog, "_warning_text_w").contains("<li>langsame 3D-Darstellung</li>"));
    };
    checkGraphicBoardConfiguration();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Grafikkarte und Treiber sind nicht zertifiziert");
}

TEST_F(BoardCheck, CardInfoShowsTheBoardAndMarksSoftwareRenderingRed)
{
    setSoftwareRendering(true);
    CardInfoDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "card info");
    const QString info = text(dialog, "_gpu_info");
    EXPECT_TRUE(
        info.startsWith("<table border=\"0\"><tr><td>driver version</td><td>" + options().driverVersion
            + "</td></tr><tr><td>renderer</td><td>" + options().renderer + "</td></tr>"));
    EXPECT_TRUE(
        info.contains(QStringLiteral("<tr><td>ram size</td><td>%1 mb</td></tr>").arg(options().memoryMB)));
    EXPECT_TRUE(info.contains("<td>active renderer</td><td><font color=\"red\">software"));
    EXPECT_TRUE(info.contains("<td>offscreen rendering possible</td><td>yes</td>"));
    EXPECT_TRUE(info.contains("<td>offscreen render mode</td><td>fbo</td>"));
    EXPECT_TRUE(info.contains("<td>performance index</td><td><font color=\"red\">not supported"));
    EXPECT_TRUE(info.endsWith("</td></tr></table>"));
    // No benchmark command: the button stays off.
    EXPECT_FALSE(child<QPushButton>(dialog, "_btn_run_benchmark")->isEnabled());
    EXPECT_EQ(
        Vaq::Test::progErrorMessage([&] { dialog.runBenchmark(); }), "benchmark command not registered");

    setSoftwareRendering(false);
    setCertified(false);
    GL::WidgetOptions::getInstance()->setOffscreenRenderingSetting(1);
    addResultForThisBoard();
    const QString hardware = CardInfoDialog::buildInformation();
    EXPECT_TRUE(hardware.contains("<td>active renderer</td><td>hardware</td>"));
    EXPECT_TRUE(hardware.contains("<td>offscreen rendering possible</td><td>no</td>"));
    EXPECT_TRUE(hardware.contains("<td>offscreen render mode</td><td><font color=\"red\">off"));
    EXPECT_TRUE(
        hardware.contains(QRegularExpression("<td>performance index</td><td>[0-9]+\\.[0-9][0-9]</td>")));
    EXPECT_TRUE(hardware.contains("<td>certified</td><td><font color=\"red\">no"));
}

TEST_F(BoardCheck, CardInfoRunsTheBenchmarkOnlyWhenTheUserAgrees)
{
    auto *benchmark = new BenchmarkStandIn;
    CardInfoDialog dialog;
    auto *button = child<QPushButton>(dialog, "_btn_run_benchmark");
    EXPECT_TRUE(button->isEnabled());
    QStringList buttons;
    answer = [&buttons](QDialog &question) {
        for (const QAbstractButton *b : question.findChildren<QAbstractButton *>())
            buttons << b->text();
        // Cancel.
    };
    button->click();
    EXPECT_EQ(benchmark->runs, 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "run benchmark");
    EXPECT_TRUE(
        seen[0].text.startsWith("please leave the computer untouched while the benchmark is running."));
    EXPECT_TRUE(buttons.contains("start benchmark") && buttons.contains("cancel"))
        << buttons.join(',').toStdString();

    answer = [](QDialog &question) {
        for (QPushButton *b : question.findChildren<QPushButton *>())
            if (b->text() == "start benchmark")
                b->click();
    };
    button->click();
    EXPECT_EQ(benchmark->runs, 1);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(child<QPushButton>(dialog, "_btn_close")->isEnabled());

    // A card whose benchmark cannot run.
    benchmark->available = false;
    CardInfoDialog unavailable;
    EXPECT_FALSE(child<QPushButton>(unavailable, "_btn_run_benchmark")->isEnabled());
}

TEST_F(BoardCheck, ResetMakesTheNextStartAFirstStart)
{
    Cfg::CfgNode &root = Cfg::getRoot();
    addResultForThisBoard();
    storeStates(1, 2, 1, options().driverVersion);
    root.setList(GL::CFG_SOFTWARE_RENDERING, 2);
    root.setList(GL::CFG_GL_OFFSCREEN_RENDERING, 1);
    CardInfoDialog dialog;
    // Cancelled: nothing changes.
    child<QPushButton>(dialog, "_btn_reset")->click();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "reset render settings");
    EXPECT_EQ(storedStates(), QStringList({ "1", "2", "1", options().driverVersion }));

    answer = [](QDialog &question) {
        for (QPushButton *b : question.findChildren<QPushButton *>())
            if (b->text() == "ok")
                b->click();
    };
    child<QPushButton>(dialog, "_btn_reset")->click();
    EXPECT_EQ(storedStates().mid(0, 3), QStringList({ "0", "0", "0" }));
    EXPECT_EQ(root.getList(GL::CFG_SOFTWARE_RENDERING), 0u);
    EXPECT_EQ(root.getList(GL::CFG_GL_OFFSCREEN_RENDERING), 0u);
    BenchmarkResult result;
    EXPECT_FALSE(BenchmarkResultContainer::getInstance()->getResult(options(), &result));
}

TEST_F(BoardCheck, CardInfoDialogSpeaksGermanAndItsCommandOpensIt)
{
    const GermanTexts german;
    new CardInfoCommand;
    QStringList buttons;
    answer = [&buttons](QDialog &dialog) {
        for (const char *name : { "_btn_run_benchmark", "_btn_reset", "_btn_close" })
            buttons << child<QPushButton>(dialog, name)->text();
        EXPECT_TRUE(text(dialog, "_gpu_info").contains("<tr><td>Treiberversion</td>"));
    };
    // From a script nobody would see it.
    EXPECT_TRUE(GApp::MainWindow::getInstance()->execute("sys.show_graphics_card_info", QString()));
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(
        GApp::MainWindow::getInstance()->executeInteractive("sys.show_graphics_card_info", QString()));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Grafikkarten-Info");
    EXPECT_EQ(buttons, QStringList({ "Benchmark", "Zurücksetzen", "Schließen" }));
    EXPECT_EQ(GApp::CommandContainer::getCommand("sys.show_graphics_card_info")->getMenuName(),
        "Grafikkarten-Info");
}
