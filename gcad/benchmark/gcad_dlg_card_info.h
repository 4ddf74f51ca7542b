// CardInfoDialog: the graphics card's data (driver, renderer, vendor, memory, rendering
// modes, performance index, certification) as a table, with buttons to run the benchmark,
// to reset the render settings and benchmark results, and to close.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace Vaq::GCAD {

class CardInfoDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CardInfoDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    // The information table for the current widget options, as HTML.
    static QString buildInformation();

public slots:
    // Asks first, then runs "sys.run_benchmark" and shows the new figures. Throws ProgError
    // "benchmark command not registered" without that command.
    void runBenchmark();
    // Asks first, then clears the stored check states, the host's rendering settings and the
    // benchmark results, so that the next start checks as the first one did.
    void handleReset();

private:
    void updateInformation();
    void setButtonsEnabled(bool enabled);

    QLabel *m_gpu_info;
    QPushButton *m_run_benchmark;
    QPushButton *m_reset;
    QPushButton *m_close;
};

} // namespace Vaq::GCAD
