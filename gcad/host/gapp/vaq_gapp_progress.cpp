#include "gcad/host/gapp/vaq_gapp_progress.h"

#include <algorithm>
#include <iostream>

#include <unistd.h>

namespace Vaq::GApp {

ProgressDisplay::ProgressDisplay()
    : m_stream(isatty(STDERR_FILENO) ? &std::cerr : nullptr)
{
}

void ProgressDisplay::setStream(std::ostream *stream)
{
    m_stream = stream;
}

QString ProgressDisplay::formatLine(int percent, const QString &text)
{
    percent = std::clamp(percent, 0, 100);
    const int filled = percent * _bar_width / 100;
    QString line = QStringLiteral("[") + QString(filled, QLatin1Char('#'))
        + QString(_bar_width - filled, QLatin1Char('-')) + QStringLiteral("] ")
        + QStringLiteral("%1%").arg(percent, 3);
    if (!text.isEmpty())
        line += QLatin1Char(' ') + text;
    return line;
}

void ProgressDisplay::start()
{
    m_active = true;
    m_percent = 0;
    m_text.clear();
    draw();
}

void ProgressDisplay::set(int percent, const QString &text)
{
    m_active = true;
    m_percent = std::clamp(percent, 0, 100);
    m_text = text;
    draw();
}

void ProgressDisplay::end()
{
    if (!m_active)
        return;
    m_active = false;
    if (m_stream && m_drawn) {
        *m_stream << '\n';
        m_stream->flush();
    }
    m_drawn = false;
    m_drawn_length = 0;
}

void ProgressDisplay::draw()
{
    if (!m_stream)
        return;
    const QString line = formatLine(m_percent, m_text);
    QString out = QStringLiteral("\r") + line;
    if (line.size() < m_drawn_length)
        out += QString(m_drawn_length - line.size(), QLatin1Char(' '));
    *m_stream << out.toStdString();
    m_stream->flush();
    m_drawn = true;
    m_drawn_length = line.size();
}

} // namespace Vaq::GApp
