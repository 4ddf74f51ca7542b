// The text of a configuration file, apart from any tree: a comment line, then one
// "key<TAB>kind<TAB>value" line per value. Keys and string values are written with tokenize,
// so a line never holds a tab or a line break of its own, and doubles with 17 digits, so
// they read back bit for bit. CfgNode turns its items into entries and back.
#pragma once

#include "gcad/host/cfg/vaq_cfg_item.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace Vaq::Cfg {

// One value of a file.
struct CfgFileEntry
{
    QString key; // "/"-separated, no part empty
    CfgItem::Kind_t kind = CfgItem::BOOL; // never NODE
    CfgValue value; // of the kind (unsigned for uint and list)
};

// One line of a file that is neither blank nor a comment.
struct CfgFileLine
{
    int number = 0; // counted from 1
    QString text; // as read, without its line end
    CfgFileEntry entry;
    // Why the line holds no entry: "not key, kind and value", "unknown kind", "invalid key"
    // or "bad value"; empty when it holds one.
    QString error;
};

// The comment line, then one line per entry in the given order.
QByteArray writeCfgFile(const std::vector<CfgFileEntry> &entries);
// The lines of text in order, skipping blank lines and those starting with "#". Lines may end
// in "\r\n".
std::vector<CfgFileLine> readCfgFile(const QByteArray &text);

// A value as a file writes it, and back. parseCfgValue returns false (and leaves value
// alone) for text that is not a value of kind.
QString formatCfgValue(const CfgValue &value);
bool parseCfgValue(CfgItem::Kind_t kind, const QString &text, CfgValue &value);

} // namespace Vaq::Cfg
