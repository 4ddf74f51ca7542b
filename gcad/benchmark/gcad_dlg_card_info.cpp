#include "gcad/benchmark/gcad_dlg_card_info.h"

#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/gcad_config.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_dialogs.h"
#include "gcad/host/gapp/vaq_gapp_documentation.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gl/vaq_gl_graphic_card_db.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace Vaq::GCAD {

namespace {

QString row(const QString &label, const QString &value, bool red = false)
{
    const QString shown
        = red ? QStringLiteral("<font color=\"red\">") + value + QStringLiteral("</font>") : value;
    return QStringLiteral("<tr><td>") + label + QStringLiteral("</td><td>") + shown
        + QStringLiteral("</td></tr>");
}

QPushButton *newButton(const char *name, const QString &title, QWidget *parent)
{
    auto *button = new QPushButton(title, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

CardInfoDialog::CardInfoDialog(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , m_gpu_info(new QLabel(this))
    , m_run_benchmark(newButton("_btn_run_benchmark", translate("GCAD_CardInfo_dlg", "benchmark"), this))
    , m_reset(newButton("_btn_reset", translate("GCAD_CardInfo_dlg", "reset"), this))
    , m_close(newButton("_btn_close", translate("GCAD_CardInfo_dlg", "close"), this))
{
    setObjectName(QStringLiteral("Vaq_GCADCardInfo_dlg"));
    GApp::Documentation::registerId(QStringLiteral("gcad_card_info"));
    setWindowTitle(translate("GCAD_CardInfo_dlg", "card info"));
    m_gpu_info->setObjectName(QStringLiteral("_gpu_info"));
    m_gpu_info->setTextFormat(Qt::RichText);

    auto *grid = new QGridLayout(this);
    grid->setObjectName(QStringLiteral("gridLayout"));
    auto *buttons = new QHBoxLayout;
    buttons->setObjectName(QStringLiteral("hboxLayout"));
    buttons->addWidget(m_run_benchmark);
    buttons->addWidget(m_reset);
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    grid->addWidget(m_gpu_info, 0, 0);
    grid->addLayout(buttons, 1, 0);

    connect(m_run_benchmark, &QPushButton::clicked, this, &CardInfoDialog::runBenchmark);
    connect(m_reset, &QPushButton::clicked, this, &CardInfoDialog::handleReset);
    connect(m_close, &QPushButton::clicked, this, &CardInfoDialog::accept);
    updateInformation();
}

QString CardInfoDialog::buildInformation()
{
    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getWidgetOptions(false);
    QString html = QStringLiteral("<table border=\"0\">");
    html += row(translate("GCAD_CardInfo_dlg", "driver version"), options.driverVersion);
    html += row(translate("GCAD_CardInfo_dlg", "renderer"), options.renderer);
    html += row(translate("GCAD_CardInfo_dlg", "vendor"), options.vendor);
    html += row(translate("GCAD_CardInfo_dlg", "ram size"),
        translate("GCAD_CardInfo_dlg", "%1 mb").arg(options.memoryMB));
    html += options.softwareRendering
        ? row(translate("GCAD_CardInfo_dlg", "active renderer"), translate("GCAD_CardInfo_dlg", "software"),
            true)
        : row(translate("GCAD_CardInfo_dlg", "active renderer"), translate("GCAD_CardInfo_dlg", "hardware"));
    html += row(translate("GCAD_CardInfo_dlg", "offscreen rendering possible"),
        options.offscreenMode != GL::WidgetOptions::OM_OFF ? translate("GCAD_CardInfo_dlg", "yes")
                                                           : translate("GCAD_CardInfo_dlg", "no"));
    switch (options.offscreenMode) {
    case GL::WidgetOptions::OM_OFF:
        html += row(translate("GCAD_CardInfo_dlg", "offscreen render mode"),
            translate("GCAD_CardInfo_dlg", "off"), true);
        break;
    case GL::WidgetOptions::OM_PBUFFER:
        html += row(translate("GCAD_CardInfo_dlg", "offscreen render mode"),
            translate("GCAD_CardInfo_dlg", "pbuffer"));
        break;
    default:
        html += row(
            translate("GCAD_CardInfo_dlg", "offscreen render mode"), translate("GCAD_CardInfo_dlg", "fbo"));
        break;
    }
    BenchmarkResultContainer *store = BenchmarkResultContainer::getInstance();
    BenchmarkResult result;
    if (store && store->getResult(options, &result))
        html += row(translate("GCAD_CardInfo_dlg", "performance index"),
            QString::number(result.calculatePerformanceIndex(), 'f', 2));
    else if (options.softwareRendering)
        html += row(translate("GCAD_CardInfo_dlg", "performance index"),
            translate("GCAD_CardInfo_dlg", "not supported"), true);
    else
        html += row(translate("GCAD_CardInfo_dlg", "performance index"),
            translate("GCAD_CardInfo_dlg", "not available"));
    html += GL::GraphicCardDB::getInstance()->isDriverValid()
        ? row(translate("GCAD_CardInfo_dlg", "certified"), translate("GCAD_CardInfo_dlg", "yes"))
        : row(translate("GCAD_CardInfo_dlg", "certified"), translate("GCAD_CardInfo_dlg", "no"), true);
    return html + QStringLiteral("</table>");
}

void CardInfoDialog::updateInformation()
{
    m_gpu_info->setText(buildInformation());
    const GApp::Command *benchmark = GApp::CommandContainer::getCommand(CMD_BENCHMARK_MESH);
    m_run_benchmark->setEnabled(benchmark && benchmark->isAvailable());
}

void CardInfoDialog::setButtonsEnabled(bool enabled)
{
    m_run_benchmark->setEnabled(enabled);
    m_reset->setEnabled(enabled);
    m_close->setEnabled(enabled);
}

void CardInfoDialog::runBenchmark()
{
    GApp::Command *benchmark = GApp::CommandContainer::getCommand(CMD_BENCHMARK_MESH);
    if (!benchmark)
        VAQ_PROG_ERROR("Vaq::GCAD::CardInfoDialog::runBenchmark", "benchmark command not registered");
    if (!GTools::OkCancelDialog(translate("GCAD_Benchmark_dlg", "run benchmark"),
            translate("GCAD_Benchmark_dlg",
                "please leave the computer untouched while the benchmark is running. if any time "
                "consuming or 3d applications are running, stop them before starting the benchmark."),
            translate("GCAD_Benchmark_dlg", "start benchmark"), translate("GCAD_Benchmark_dlg", "cancel"),
            this))
        return;
    QCoreApplication::processEvents();
    setButtonsEnabled(false);
    GApp::MainWindow::getInstance()->execute(benchmark->getName(), benchmark->getDefaultParameters());
    updateInformation();
    m_reset->setEnabled(true);
    m_close->setEnabled(true);
}

void CardInfoDialog::handleReset()
{
    if (!GTools::OkCancelDialog(translate("GCAD_info", "reset render settings"),
            translate("GCAD_info",
                "do you really want to reset the rendering settings and the benchmark results? After the "
                "reset you have to restart the application to activate the changes."),
            translate("GCAD_info", "ok"), translate("GCAD_info", "cancel"), this))
        return;
    Cfg::CfgNode &configuration = Cfg::getRoot();
    configuration.setUInt(CFG_GCAD_INFO_CERTIFIED, 0);
    configuration.setUInt(CFG_GCAD_INFO_SOFTWARE_RENDERING, 0);
    configuration.setUInt(CFG_GCAD_INFO_OFFSCREEN_RENDERING, 0);
    configuration.setList(GL::CFG_GL_OFFSCREEN_RENDERING, 0);
    configuration.setList(GL::CFG_SOFTWARE_RENDERING, 0);
    if (BenchmarkResultContainer *store = BenchmarkResultContainer::getInstance())
        store->clearResults();
}

} // namespace Vaq::GCAD
