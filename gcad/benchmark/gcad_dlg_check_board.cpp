#include "gcad/benchmark/gcad_dlg_check_board.h"

#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/gapp/vaq_gapp_documentation.h"
#include "gcad/host/gapp/vaq_gapp_separator.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <initializer_list>

namespace Vaq::GCAD {

namespace {

QLabel *newLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::RichText);
    return label;
}

} // namespace

QString CheckBoardDialog::htmlList(const QStringList &items)
{
    QString html = QStringLiteral("<ul>");
    for (const QString &item : items)
        html += QStringLiteral("<li>") + item + QStringLiteral("</li>");
    return html + QStringLiteral("</ul>");
}

QString CheckBoardDialog::softwareRenderingCosts()
{
    return htmlList({ translate("GCAD_info", "slow 3d performance"),
        translate("GCAD_info", "snapshot may have incorrect areas"),
        translate("GCAD_info", "no high resolution snapshots"),
        translate("GCAD_info", "no graphic card benchmark possible") });
}

CheckBoardDialog::CheckBoardDialog(bool certified, bool driverChanged, QWidget *parent)
    : QDialog(parent)
    , m_certified(certified)
    , m_info_text(newLabel("_info_text_w", this))
    , m_render_mode_label(newLabel("_lab_render_mode_w", this))
    , m_render_mode(new QComboBox(this))
    , m_separator(new GApp::Separator(translate("GCAD_info", "information"), this))
    , m_icon(newLabel("_icon_w", this))
    , m_warning_text(newLabel("_warning_text_w", this))
    , m_ok(new QPushButton(translate("GCAD_info", "ok"), this))
{
    setObjectName(QStringLiteral("Vaq_GCADCheckBoard_dlg"));
    GApp::Documentation::registerId(QStringLiteral("gcad_card_info"));
    m_render_mode_label->setText(translate("GCAD_info", "select render mode"));
    m_render_mode->setObjectName(QStringLiteral("_render_mode_w"));
    m_separator->setObjectName(QStringLiteral("_sep_info_w"));
    m_ok->setObjectName(QStringLiteral("_ok_w"));
    m_ok->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->setObjectName(QStringLiteral("gridLayout"));
    auto *renderMode = new QHBoxLayout;
    renderMode->setObjectName(QStringLiteral("hboxLayout"));
    renderMode->addWidget(m_render_mode_label);
    renderMode->addWidget(m_render_mode, 1);
    auto *warning = new QHBoxLayout;
    warning->setObjectName(QStringLiteral("hboxLayout1"));
    warning->addWidget(m_icon, 0, Qt::AlignTop);
    warning->addWidget(m_warning_text, 1);
    grid->addWidget(m_info_text, 0, 0);
    grid->addLayout(renderMode, 1, 0);
    grid->addWidget(m_separator, 2, 0);
    grid->addLayout(warning, 3, 0);
    grid->addWidget(m_ok, 4, 0, Qt::AlignRight);

    QString text;
    if (driverChanged)
        text = translate("GCAD_info", "your driver version has changed since the last start of the software")
            + QStringLiteral("<br><br>");
    if (certified) {
        setWindowTitle(translate("GCAD_info", "no benchmark results"));
        text += translate("GCAD_info",
            "for optimal 3d performance a graphic card benchmark is required. close all other "
            "<br>applications before starting the benchmark test. during the test, please do not work "
            "<br>with your computer.");
        for (QWidget *widget : std::initializer_list<QWidget *> {
                 m_render_mode_label, m_render_mode, m_icon, m_separator, m_warning_text })
            widget->hide();
    } else {
        setWindowTitle(translate("GCAD_info", "graphic board and driver are not certified"));
        text += translate("GCAD_info",
            "your graphic board has not been certified. that means either your combination of graphic "
            "<br>board and driver has not been tested or has known problems. this can result in "
            "<br>application crashes or rendering errors. in general your graphic board vendor has quality "
            "<br>driver support, but older driver versions may not work properly.");
        m_render_mode->addItem(translate("GCAD_info", "software rendering"));
        m_render_mode->addItem(translate("GCAD_info", "hardware rendering"));
        handleRenderModeChange(0);
        connect(m_render_mode, &QComboBox::activated, this, &CheckBoardDialog::handleRenderModeChange);
    }
    m_info_text->setText(text);
    connect(m_ok, &QPushButton::clicked, this, &CheckBoardDialog::handleOk);
}

void CheckBoardDialog::handleRenderModeChange(int index)
{
    QStyle::StandardPixmap icon = QStyle::SP_MessageBoxInformation;
    if (index == 0) {
        m_warning_text->setText(translate("GCAD_info", "to avoid driver and rendering issues at cost of:")
            + softwareRenderingCosts());
    } else {
        m_warning_text->setText(translate("GCAD_info",
                                    "use hardware rendering for full 3d performance at your own risk. this "
                                    "may lead <br> to the following problems:")
            + htmlList({ translate("GCAD_info", "software crashes"),
                translate("GCAD_info", "visualization errors") })
            + translate("GCAD_info",
                "press the ok button to start the benchmark. if the benchmark crashes, software "
                "<br>rendering "
                "will be enabled by default at the next application start. please close <br>all other "
                "applications before starting the benchmark test. during the test, please <br>do not work "
                "with your computer."));
        icon = QStyle::SP_MessageBoxWarning;
    }
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    m_icon->setPixmap(style()->standardIcon(icon, nullptr, this).pixmap(size, size));
}

void CheckBoardDialog::handleOk()
{
    if (m_certified)
        m_selection = SEL_HARDWARE_RENDERING;
    else
        m_selection = m_render_mode->currentIndex() != 0 ? SEL_HARDWARE_RENDERING : SEL_SOFTWARE_RENDERING;
    accept();
}

} // namespace Vaq::GCAD
