#include "gcad/host/fig2/vaq_fig2_calculator.h"

#include <QGuiApplication>
#include <QScreen>

namespace Vaq::Fig2 {

Calculator *Calculator::getInstance()
{
    static Calculator calculator;
    return &calculator;
}

double Calculator::getScreenPixelSizeMM() const
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())
        || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return DEFAULT_PIXEL_SIZE_MM;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || screen->size().width() <= 0 || screen->physicalSize().width() <= 0.0)
        return DEFAULT_PIXEL_SIZE_MM;
    return screen->physicalSize().width() / double(screen->size().width());
}

} // namespace Vaq::Fig2
