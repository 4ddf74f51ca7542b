// CfgNode: a node of the configuration tree. Entries are addressed by "/"-separated keys
// relative to the node they are used on; registering "Gcad/ShowLabels" on the top node creates
// (or reuses) the node "Gcad". The tree loads and saves itself as a text file; values read for
// keys that nobody has registered yet are kept aside, applied when the key is registered and
// written back on save, so that a program that registers fewer entries loses nothing.
//
// Every misuse throws ProgError naming the operation ("Vaq::Cfg::CfgNode::<operation>"):
// "invalid key: <key>", "not a node: <part of key>", "key already registered: <key>",
// "unknown key: <key>", "wrong kind: <key> is <kind>, not <kind>",
// "value out of range: <key> = <value> (<min> to <max>)", "invalid range: <key>",
// "default out of range: <key>". Nothing changes when one is thrown.
#pragma once

#include "gcad/host/cfg/vaq_cfg_file_format.h"
#include "gcad/host/cfg/vaq_cfg_item.h"

#include <QByteArray>
#include <QHash>
#include <QMap>

#include <memory>
#include <vector>

namespace Vaq::Cfg {

class CfgNode : public CfgItem
{
public:
    // A new, empty top node.
    CfgNode();
    ~CfgNode() override;

    // Registers a node. A node that a longer key created before is taken over (it gets the
    // description and flags); a registered one is "key already registered".
    CfgNode &addNode(const QString &key, const QString &description, Flags flags);
    CfgItem &addBool(const QString &key, const QString &description, bool defaultValue, Flags flags);
    // minimum <= default <= maximum, else "invalid range" / "default out of range".
    CfgItem &addUInt(const QString &key, const QString &description, unsigned minimum, unsigned maximum,
        unsigned defaultValue, unsigned step, Flags flags);
    CfgItem &addDbl(const QString &key, const QString &description, double minimum, double maximum,
        double defaultValue, double step, int decimals, Flags flags);
    CfgItem &addColor(const QString &key, const QString &description, const Color &defaultValue, Flags flags);
    // length: see CfgItem::getLength.
    CfgItem &addString(
        const QString &key, const QString &description, const QString &defaultValue, int length, Flags flags);
    // A choice among entries; the value is the index of the chosen one.
    CfgItem &addList(const QString &key, const QString &description, const QStringList &entries,
        unsigned defaultIndex, Flags flags);

    // True when an item (value or node) exists at key; never throws, false for a bad key.
    bool exists(const QString &key) const;
    // "unknown key" when there is none.
    const CfgItem &getItem(const QString &key) const;
    CfgNode &getNode(const QString &key);
    // The items directly below this node, in the order they were created.
    std::vector<const CfgItem *> getChildren() const;

    bool getBool(const QString &key) const;
    void setBool(const QString &key, bool value);
    unsigned getUInt(const QString &key) const;
    void setUInt(const QString &key, unsigned value);
    double getDbl(const QString &key) const;
    void setDbl(const QString &key, double value);
    Color getColor(const QString &key) const;
    void setColor(const QString &key, const Color &value);
    QString getString(const QString &key) const;
    void setString(const QString &key, const QString &value);
    unsigned getList(const QString &key) const;
    void setList(const QString &key, unsigned index);
    // Sets a value item back to its default.
    void resetToDefault(const QString &key);

    // The file text (see writeCfgFile): the value items below this node (keys relative to it,
    // depth first in registration order), then the values kept aside for keys below it that
    // are not registered.
    QByteArray toText() const;
    // Reads such text. Registered keys take the value when kind and range fit; unknown keys
    // are kept aside. A line that does not fit is skipped with a trace naming origin and line
    // number, and changes nothing.
    void fromText(const QByteArray &text, const QString &origin);

    // fromText on a file's contents; false (and nothing changes) when it cannot be read.
    bool load(const QString &fileName);
    // toText written with UserFile::writeAtomically; false when that fails, the old file
    // then stays as it was.
    bool save(const QString &fileName) const;

    // Values read for keys not registered yet, by full key.
    const QMap<QString, CfgFileEntry> &getKeptValues() const;

private:
    CfgNode(const QString &name, const QString &description, Flags flags);

    CfgNode *top();
    const CfgNode *top() const;
    QString fullKey(const QString &relativeKey) const;

    // Splits and checks a key; "invalid key" on an empty key or an empty part.
    static QStringList splitKey(const char *function, const QString &key);
    const CfgItem *find(const QStringList &parts) const;
    const CfgItem &findValue(const char *function, const QString &key, Kind_t kind) const;
    CfgItem &findValue(const char *function, const QString &key, Kind_t kind);
    void setValue(const char *function, const QString &key, Kind_t kind, const CfgValue &value);
    CfgItem &insert(const char *function, const QString &key, std::unique_ptr<CfgItem> item);
    void applyKeptValue(CfgItem &item);
    void collectEntries(std::vector<CfgFileEntry> &entries, const QString &prefix) const;

    std::vector<std::unique_ptr<CfgItem>> m_children;
    QHash<QString, CfgItem *> m_by_name;
    // Only the top node keeps values aside, under their full keys.
    QMap<QString, CfgFileEntry> m_kept;
};

} // namespace Vaq::Cfg
