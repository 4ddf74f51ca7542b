#include "gcad/benchmark/gcad_benchmark_crash_guard.h"

#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/cfg/vaq_cfg_user_file.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <QFile>

namespace Vaq::GCAD {

namespace {

constexpr char _guard_file_name[] = "gcad_benchmark.guard";
// The settings are "automatic", "off" and "on".
constexpr unsigned _software_rendering_on = 2;

QString guardFileName()
{
    return Cfg::UserFile::getLoadFileName(_guard_file_name);
}

// The user's setting kept by an earlier run that did not end, or none.
bool readKeptSetting(unsigned *setting)
{
    QFile file(guardFileName());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const unsigned value = QString::fromLatin1(file.read(16)).trimmed().toUInt(&ok);
    if (!ok || value > _software_rendering_on)
        return false;
    *setting = value;
    return true;
}

} // namespace

BenchmarkCrashGuard::BenchmarkCrashGuard()
{
    Cfg::CfgNode &configuration = Cfg::getRoot();
    if (!readKeptSetting(&m_user_setting)) {
        m_user_setting = configuration.getList(GL::CFG_SOFTWARE_RENDERING);
        Cfg::UserFile::writeAtomically(
            Cfg::UserFile::getSaveFileName(_guard_file_name), QByteArray::number(m_user_setting) + '\n');
    }
    configuration.setList(GL::CFG_SOFTWARE_RENDERING, _software_rendering_on);
    GApp::MainWindow::getInstance()->saveConfiguration();
}

void BenchmarkCrashGuard::release()
{
    Cfg::getRoot().setList(GL::CFG_SOFTWARE_RENDERING, m_user_setting);
    // Only a saved setting may end the guard: the file is what the next run trusts.
    if (GApp::MainWindow::getInstance()->saveConfiguration())
        QFile::remove(guardFileName());
}

bool BenchmarkCrashGuard::isLeftOn()
{
    const Cfg::CfgNode &configuration = Cfg::getRoot();
    unsigned kept = 0;
    return readKeptSetting(&kept) && configuration.exists(GL::CFG_SOFTWARE_RENDERING)
        && configuration.getList(GL::CFG_SOFTWARE_RENDERING) == _software_rendering_on
        && kept != _software_rendering_on;
}

} // namespace Vaq::GCAD
