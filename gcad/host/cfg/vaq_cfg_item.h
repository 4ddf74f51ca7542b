// CfgItem: one entry of the configuration tree, either a node (which groups entries) or a
// value of one kind with its description, default, range and flags. Items are created and
// changed only through CfgNode, which checks keys, kinds and ranges; this class reads them.
#pragma once

#include "gcad/host/base/vaq_color.h"

#include <QFlags>
#include <QString>
#include <QStringList>

#include <variant>

namespace Vaq::Cfg {

class CfgNode;

// A value or range bound of an item. unsigned serves the uint and the list kind (the list
// value is the index of the chosen entry); monostate is "none" (nodes, kinds without range).
using CfgValue = std::variant<std::monostate, bool, unsigned, double, Color, QString>;

class CfgItem
{
public:
    // Who sees an entry. FLAG_OPTIONS_DIALOG: the user's options dialog shows and edits it.
    // FLAG_INTERNAL: kept and saved, but never shown; the program manages it itself.
    enum Flag : unsigned { FLAG_NONE = 0, FLAG_OPTIONS_DIALOG = 1, FLAG_INTERNAL = 2 };
    Q_DECLARE_FLAGS(Flags, Flag)

    enum Kind_t { NODE, BOOL, UINT, DBL, COLOR, STRING, LIST };

    virtual ~CfgItem();

    CfgItem(const CfgItem &) = delete;
    CfgItem &operator=(const CfgItem &) = delete;

    Kind_t getKind() const { return m_kind; }
    // The last part of the key ("ShowLabels" of "Gcad/ShowLabels").
    const QString &getName() const { return m_name; }
    // The full key from the top of the tree ("Gcad/ShowLabels"); empty for the top node.
    QString getKey() const;
    const QString &getDescription() const { return m_description; }
    Flags getFlags() const { return m_flags; }
    CfgNode *getParentNode() const { return m_parent; }

    // False only for a node that exists because a longer key passed through it and that
    // nobody has registered with addNode yet.
    bool isRegistered() const { return m_registered; }

    const CfgValue &getValue() const { return m_value; }
    const CfgValue &getDefault() const { return m_default; }
    // Range bounds and step of the uint and double kinds (unsigned or double), monostate for
    // the others. The list kind's range is 0 to getEntries().size() - 1.
    const CfgValue &getMinimum() const { return m_minimum; }
    const CfgValue &getMaximum() const { return m_maximum; }
    const CfgValue &getStep() const { return m_step; }
    // Decimals the options dialog shows for a double.
    int getDecimals() const { return m_decimals; }
    // The string kind's length parameter: how many text lines its editor offers (1 = a
    // single-line field). It does not limit the text.
    int getLength() const { return m_length; }
    // The choices of a list entry.
    const QStringList &getEntries() const { return m_entries; }

    // Kind names as the configuration file and the error texts write them.
    static QString kindName(Kind_t kind);
    // The kind of a name, false for an unknown name.
    static bool kindFromName(const QString &name, Kind_t &kind);

    // The error text for a value of this item's kind that is out of range, empty when it fits.
    QString checkValue(const CfgValue &value) const;

protected:
    CfgItem(Kind_t kind, const QString &name, const QString &description, Flags flags);

private:
    friend class CfgNode;

    Kind_t m_kind;
    QString m_name;
    QString m_description;
    Flags m_flags;
    CfgNode *m_parent = nullptr;
    bool m_registered = true;
    CfgValue m_value;
    CfgValue m_default;
    CfgValue m_minimum;
    CfgValue m_maximum;
    CfgValue m_step;
    int m_decimals = 0;
    int m_length = 0;
    QStringList m_entries;
};

} // namespace Vaq::Cfg

Q_DECLARE_OPERATORS_FOR_FLAGS(Vaq::Cfg::CfgItem::Flags)
