#include "gcad/host/gapp/vaq_gapp_wait_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace Vaq::GApp {

WaitCursor::WaitCursor()
    : m_shown(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
{
    if (m_shown)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor()
{
    if (m_shown)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace Vaq::GApp
