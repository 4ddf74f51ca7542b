#include "gcad/host/gapp/vaq_gapp_view_settings.h"

#include "gcad/host/cfg/vaq_cfg_node.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

namespace Vaq::GApp {

void registerViewSettings(Cfg::CfgNode &node)
{
    const QStringList modes { QStringLiteral("automatic"), QStringLiteral("off"), QStringLiteral("on") };
    if (!node.exists(GL::CFG_SOFTWARE_RENDERING))
        node.addList(GL::CFG_SOFTWARE_RENDERING, QStringLiteral("software rendering"), modes, 0,
            Cfg::CfgItem::FLAG_OPTIONS_DIALOG);
    if (!node.exists(GL::CFG_GL_OFFSCREEN_RENDERING))
        node.addList(GL::CFG_GL_OFFSCREEN_RENDERING, QStringLiteral("off-screen rendering"), modes, 0,
            Cfg::CfgItem::FLAG_OPTIONS_DIALOG);
    if (!node.exists(GL::CFG_USE_MESH_OCCLUSION_QUERY))
        node.addBool(GL::CFG_USE_MESH_OCCLUSION_QUERY, QStringLiteral("occlusion queries for meshes"), true,
            Cfg::CfgItem::FLAG_OPTIONS_DIALOG);
}

QSize getDesktopSize()
{
    const bool gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
    const QScreen *screen = gui ? QGuiApplication::primaryScreen() : nullptr;
    if (!screen || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return QSize(1920, 1200);
    return screen->geometry().size();
}

} // namespace Vaq::GApp
