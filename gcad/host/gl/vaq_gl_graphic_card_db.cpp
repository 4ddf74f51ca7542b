#include "gcad/host/gl/vaq_gl_graphic_card_db.h"

#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace Vaq::GL {

extern const char *const _graphic_cards_data;

GraphicCardDB::GraphicCardDB()
{
    QString error;
    parse(QString::fromUtf8(_graphic_cards_data), &error);
}

GraphicCardDB *GraphicCardDB::getInstance()
{
    static GraphicCardDB db;
    return &db;
}

bool GraphicCardDB::parse(const QString &text, QString *error)
{
    std::vector<Entry> entries;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('|'));
        if (fields.size() != 3 || fields[0].trimmed().isEmpty() || fields[1].trimmed().isEmpty()) {
            *error = QStringLiteral("line %1: expected vendor | renderer | driver version").arg(i + 1);
            return false;
        }
        Entry entry { fields[0].trimmed(), fields[1].trimmed(), fields[2].trimmed() };
        if (versionNumbers(entry.driverVersion).empty()) {
            *error = QStringLiteral("line %1: no version number in '%2'").arg(i + 1).arg(entry.driverVersion);
            return false;
        }
        entries.push_back(entry);
    }
    m_entries = std::move(entries);
    return true;
}

bool GraphicCardDB::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    return parse(QString::fromUtf8(file.readAll()), error);
}

std::vector<int> GraphicCardDB::versionNumbers(const QString &version)
{
    static const QRegularExpression number(QStringLiteral("[0-9]+"));
    std::vector<int> numbers;
    for (auto it = number.globalMatch(version); it.hasNext();)
        numbers.push_back(it.next().captured(0).toInt());
    return numbers;
}

bool GraphicCardDB::matches(const QString &pattern, const QString &text)
{
    // Plain wildcards: renderer names hold '/', which file-name globbing would not match.
    QString expression;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*'))
            expression += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            expression += QLatin1Char('.');
        else
            expression += QRegularExpression::escape(QString(c));
    }
    const QRegularExpression regex(
        QRegularExpression::anchoredPattern(expression), QRegularExpression::CaseInsensitiveOption);
    return regex.match(text).hasMatch();
}

bool GraphicCardDB::isDriverValid(
    const QString &vendor, const QString &renderer, const QString &driverVersion) const
{
    const std::vector<int> have = versionNumbers(driverVersion);
    if (have.empty())
        return false;
    for (const Entry &entry : m_entries) {
        if (!matches(entry.vendor, vendor) || !matches(entry.renderer, renderer))
            continue;
        // The vendor's word ("Mesa", "NVIDIA") must match too, so a Mesa entry does not
        // certify a proprietary driver with a bigger number.
        const QString word = entry.driverVersion.section(QLatin1Char(' '), 0, 0);
        if (!word.isEmpty() && !word.front().isDigit() && !driverVersion.contains(word, Qt::CaseInsensitive))
            continue;
        const std::vector<int> need = versionNumbers(entry.driverVersion);
        if (!std::lexicographical_compare(have.begin(), have.end(), need.begin(), need.end()))
            return true;
    }
    return false;
}

bool GraphicCardDB::isDriverValid(QString *renderer, QStringList *knownDrivers) const
{
    const WidgetOptions::Options &options = WidgetOptions::getInstance()->getCurrentWidgetOptions();
    if (renderer)
        *renderer = options.renderer;
    if (knownDrivers) {
        knownDrivers->clear();
        for (const Entry &entry : m_entries) {
            if (matches(entry.vendor, options.vendor) && matches(entry.renderer, options.renderer))
                knownDrivers->append(QStringLiteral("%1 / %2: %3 or later")
                                         .arg(entry.vendor, entry.renderer, entry.driverVersion));
        }
    }
    return options.valid && isDriverValid(options.vendor, options.renderer, options.driverVersion);
}

} // namespace Vaq::GL
