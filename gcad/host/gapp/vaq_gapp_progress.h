// ProgressDisplay: a one-line text progress bar for programs without a window. Each update
// rewrites the line in place ("\r"), so a terminal shows one bar that fills up:
//   "[###############---------------]  50% run benchmark"
// Nothing is written without a stream; by default the stream is standard error when that
// is a terminal, so logs and pipes never get the control characters.
#pragma once

#include <QString>

#include <ostream>

namespace Vaq::GApp {

class ProgressDisplay
{
public:
    static constexpr int _bar_width = 30;

    ProgressDisplay();

    // The stream to draw on; null keeps the display silent.
    void setStream(std::ostream *stream);
    std::ostream *getStream() const { return m_stream; }

    void start();
    // Percent is clamped to 0..100. Starts the display when it is not running.
    void set(int percent, const QString &text);
    // Ends the line, if anything was drawn.
    void end();

    bool isActive() const { return m_active; }
    int getPercent() const { return m_percent; }
    const QString &getText() const { return m_text; }

    // The bar line for percent and text, without "\r" or padding.
    static QString formatLine(int percent, const QString &text);

private:
    void draw();

    std::ostream *m_stream = nullptr;
    bool m_active = false;
    bool m_drawn = false;
    int m_percent = 0;
    QString m_text;
    // Length of the line last drawn, to blank out what a shorter line leaves over.
    qsizetype m_drawn_length = 0;
};

} // namespace Vaq::GApp
