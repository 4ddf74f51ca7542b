// GraphicCardDB: the drivers known to draw the views correctly. An entry names a vendor
// and renderer (wildcards) and the lowest good driver version; the built-in list comes from
// graphic_cards.txt, and a site may load its own list in the same format.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace Vaq::GL {

class GraphicCardDB
{
public:
    struct Entry
    {
        QString vendor; // wildcard pattern
        QString renderer; // wildcard pattern
        QString driverVersion; // lowest good version, e.g. "Mesa 20.0"
    };

    // The database with the built-in list.
    static GraphicCardDB *getInstance();

    // Replaces the list with the text's entries: one "vendor | renderer | version" per
    // line, '#' comments and blank lines skipped. On an error the list stays and *error
    // reads "line N: expected vendor | renderer | driver version" or
    // "line N: no version number in 'TEXT'".
    bool parse(const QString &text, QString *error);
    bool load(const QString &path, QString *error);
    const std::vector<Entry> &getEntries() const { return m_entries; }

    // Whether an entry matches vendor and renderer with a driver version at least its own.
    bool isDriverValid(const QString &vendor, const QString &renderer, const QString &driverVersion) const;
    // The same for the live driver (current widget options). renderer receives its
    // renderer text, knownDrivers the entries for its vendor and renderer as
    // "vendor / renderer: version or later".
    bool isDriverValid(QString *renderer = nullptr, QStringList *knownDrivers = nullptr) const;

    // The numbers of a version text: "Mesa 22.3.6" gives 22, 3, 6.
    static std::vector<int> versionNumbers(const QString &version);

private:
    GraphicCardDB();
    static bool matches(const QString &pattern, const QString &text);

    std::vector<Entry> m_entries;
};

} // namespace Vaq::GL
