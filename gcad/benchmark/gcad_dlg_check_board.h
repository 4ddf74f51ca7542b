// CheckBoardDialog: the start-up check's question when the board has no benchmark result or is
// not certified. A certified board only hears that the benchmark is needed; for another board
// the user chooses software rendering or hardware rendering with the benchmark, and the
// dialog explains what each choice costs.
#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

namespace Vaq::GApp {
class Separator;
}

namespace Vaq::GCAD {

class CheckBoardDialog : public QDialog
{
    Q_OBJECT

public:
    enum Selection_t { SEL_SOFTWARE_RENDERING = 0, SEL_HARDWARE_RENDERING = 1, SEL_NOTHING = 2 };

    CheckBoardDialog(bool certified, bool driverChanged, QWidget *parent = nullptr);

    // What the user chose; SEL_NOTHING until OK is pressed.
    int getSelection() const { return m_selection; }

    // What software rendering costs, as an HTML list (also the start-up check's message).
    static QString softwareRenderingCosts();
    // items as an HTML list: "<ul>", each "<li>" item "</li>", "</ul>".
    static QString htmlList(const QStringList &items);

public slots:
    void handleRenderModeChange(int index);
    void handleOk();

private:
    bool m_certified;
    int m_selection = SEL_NOTHING;
    QLabel *m_info_text;
    QLabel *m_render_mode_label;
    QComboBox *m_render_mode;
    GApp::Separator *m_separator;
    QLabel *m_icon;
    QLabel *m_warning_text;
    QPushButton *m_ok;
};

} // namespace Vaq::GCAD
