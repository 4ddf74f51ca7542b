#include "gcad/host/gapp/vaq_gapp_separator.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

namespace Vaq::GApp {

Separator::Separator(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(new QLabel(title, this))
{
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_title);
    layout->addWidget(line, 1);
}

QString Separator::getTitle() const
{
    return m_title->text();
}

} // namespace Vaq::GApp
