#include "gcad/host/cfg/vaq_cfg_node.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/cfg/vaq_cfg_user_file.h"

#include <QFile>

#include <cmath>

namespace Vaq::Cfg {

CfgNode::CfgNode()
    : CfgItem(NODE, QString(), QString(), FLAG_NONE)
{
}

CfgNode::CfgNode(const QString &name, const QString &description, Flags flags)
    : CfgItem(NODE, name, description, flags)
{
}

CfgNode::~CfgNode() = default;

CfgNode *CfgNode::top()
{
    CfgNode *node = this;
    while (node->getParentNode())
        node = node->getParentNode();
    return node;
}

const CfgNode *CfgNode::top() const
{
    return const_cast<CfgNode *>(this)->top();
}

QString CfgNode::fullKey(const QString &relativeKey) const
{
    const QString here = getKey();
    return here.isEmpty() ? relativeKey : here + QLatin1Char('/') + relativeKey;
}

QStringList CfgNode::splitKey(const char *function, const QString &key)
{
    const QStringList parts = key.split(QLatin1Char('/'));
    for (const QString &part : parts)
        if (part.isEmpty())
            VAQ_PROG_ERROR(function, QStringLiteral("invalid key: ") + key);
    return parts;
}

const CfgItem *CfgNode::find(const QStringList &parts) const
{
    const CfgNode *node = this;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const CfgItem *item = node->m_by_name.value(parts[i]);
        if (!item)
            return nullptr;
        if (i + 1 == parts.size())
            return item;
        if (item->getKind() != NODE)
            return nullptr;
        node = static_cast<const CfgNode *>(item);
    }
    return nullptr;
}

bool CfgNode::exists(const QString &key) const
{
    const QStringList parts = key.split(QLatin1Char('/'));
    for (const QString &part : parts)
        if (part.isEmpty())
            return false;
    return find(parts) != nullptr;
}

const CfgItem &CfgNode::getItem(const QString &key) const
{
    const CfgItem *item = find(splitKey("Vaq::Cfg::CfgNode::getItem", key));
    if (!item)
        VAQ_PROG_ERROR("Vaq::Cfg::CfgNode::getItem", QStringLiteral("unknown key: ") + key);
    return *item;
}

CfgNode &CfgNode::getNode(const QString &key)
{
    const CfgItem *item = find(splitKey("Vaq::Cfg::CfgNode::getNode", key));
    if (!item)
        VAQ_PROG_ERROR("Vaq::Cfg::CfgNode::getNode", QStringLiteral("unknown key: ") + key);
    if (item->getKind() != NODE)
        VAQ_PROG_ERROR("Vaq::Cfg::CfgNode::getNode",
            QStringLiteral("wrong kind: %1 is %2, not node").arg(key, kindName(item->getKind())));
    return *const_cast<CfgNode *>(static_cast<const CfgNode *>(item));
}

std::vector<const CfgItem *> CfgNode::getChildren() const
{
    std::vector<const CfgItem *> children;
    children.reserve(m_children.size());
    for (const auto &child : m_children)
        children.push_back(child.get());
    return children;
}

const CfgItem &CfgNode::findValue(const char *function, const QString &key, Kind_t kind) const
{
    const CfgItem *item = find(splitKey(function, key));
    if (!item)
        VAQ_PROG_ERROR(function, QStringLiteral("unknown key: ") + key);
    if (item->getKind() != kind)
        VAQ_PROG_ERROR(function,
            QStringLiteral("wrong kind: %1 is %2, not %3")
                .arg(key, kindName(item->getKind()), kindName(kind)));
    return *item;
}

CfgItem &CfgNode::findValue(const char *function, const QString &key, Kind_t kind)
{
    return const_cast<CfgItem &>(std::as_const(*this).findValue(function, key, kind));
}

void CfgNode::setValue(const char *function, const QString &key, Kind_t kind, const CfgValue &value)
{
    CfgItem &item = findValue(function, key, kind);
    const QString error = item.checkValue(value);
    if (!error.isEmpty())
        VAQ_PROG_ERROR(function, QStringLiteral("value out of range: %1 = %2").arg(key, error));
    item.m_value = value;
}

// ---- registration ------------------------------------------------------------------------

CfgItem &CfgNode::insert(const char *function, const QString &key, std::unique_ptr<CfgItem> item)
{
    const QStringList parts = splitKey(function, key);

    // Check the whole path before creating anything, so that a failure leaves no nodes behind.
    const CfgNode *node = this;
    qsizetype existing = 0;
    for (; existing + 1 < parts.size(); ++existing) {
        const CfgItem *step = node->m_by_name.value(parts[existing]);
        if (!step)
            break;
        if (step->getKind() != NODE)
            VAQ_PROG_ERROR(
                function, QStringLiteral("not a node: ") + QStringList(parts.mid(0, existing + 1)).join('/'));
        node = static_cast<const CfgNode *>(step);
    }
    if (existing + 1 == parts.size()) {
        if (CfgItem *present = node->m_by_name.value(parts.last())) {
            if (present->getKind() == NODE && !present->m_registered && item->getKind() == NODE) {
                present->m_description = item->m_description;
                present->m_flags = item->m_flags;
                present->m_registered = true;
                return *present;
            }
            VAQ_PROG_ERROR(function, QStringLiteral("key already registered: ") + key);
        }
    }

    CfgNode *parent = const_cast<CfgNode *>(node);
    for (qsizetype i = existing; i + 1 < parts.size(); ++i) {
        auto created = std::unique_ptr<CfgNode>(new CfgNode(parts[i], QString(), FLAG_NONE));
        created->m_registered = false;
        created->m_parent = parent;
        CfgNode *next = created.get();
        parent->m_by_name.insert(parts[i], next);
        parent->m_children.push_back(std::move(created));
        parent = next;
    }

    item->m_name = parts.last();
    item->m_parent = parent;
    CfgItem *added = item.get();
    parent->m_by_name.insert(parts.last(), added);
    parent->m_children.push_back(std::move(item));
    if (added->getKind() != NODE)
        applyKeptValue(*added);
    return *added;
}

void CfgNode::applyKeptValue(CfgItem &item)
{
    CfgNode *root = top();
    const QString key = item.getKey();
    const auto kept = root->m_kept.find(key);
    if (kept == root->m_kept.end())
        return;
    const CfgFileEntry stored = kept.value();
    root->m_kept.erase(kept);

    if (stored.kind != item.getKind()) {
        VAQ_TRACE("Vaq::Cfg::CfgNode::applyKeptValue",
            QStringLiteral("stored value of %1 does not fit its entry, default kept: %2 %3")
                .arg(key, kindName(stored.kind), formatCfgValue(stored.value)));
        return;
    }
    const QString error = item.checkValue(stored.value);
    if (!error.isEmpty()) {
        VAQ_TRACE("Vaq::Cfg::CfgNode::applyKeptValue",
            QStringLiteral("stored value of %1 out of range, default kept: %2").arg(key, error));
        return;
    }
    item.m_value = stored.value;
}

CfgNode &CfgNode::addNode(const QString &key, const QString &description, Flags flags)
{
    auto node = std::unique_ptr<CfgNode>(new CfgNode(QString(), description, flags));
    return static_cast<CfgNode &>(insert("Vaq::Cfg::CfgNode::addNode", key, std::move(node)));
}

CfgItem &CfgNode::addBool(const QString &key, const QString &description, bool defaultValue, Flags flags)
{
    auto item = std::unique_ptr<CfgItem>(new CfgItem(BOOL, QString(), description, flags));
    item->m_default = item->m_value = defaultValue;
    return insert("Vaq::Cfg::CfgNode::addBool", key, std::move(item));
}

CfgItem &CfgNode::addUInt(const QString &key, const QString &description, unsigned minimum, unsigned maximum,
    unsigned defaultValue, unsigned step, Flags flags)
{
    const char *function = "Vaq::Cfg::CfgNode::addUInt";
    if (minimum > maximum)
        VAQ_PROG_ERROR(function, QStringLiteral("invalid range: ") + key);
    if (defaultValue < minimum || defaultValue > maximum)
        VAQ_PROG_ERROR(function, QStringLiteral("default out of range: ") + key);
    auto item = std::unique_ptr<CfgItem>(new CfgItem(UINT, QString(), description, flags));
    item->m_default = item->m_value = defaultValue;
    item->m_minimum = minimum;
    item->m_maximum = maximum;
    item->m_step = step;
    return insert(function, key, std::move(item));
}

CfgItem &CfgNode::addDbl(const QString &key, const QString &description, double minimum, double maximum,
    double defaultValue, double step, int decimals, Flags flags)
{
    const char *function = "Vaq::Cfg::CfgNode::addDbl";
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || !(minimum <= maximum) || decimals < 0)
        VAQ_PROG_ERROR(function, QStringLiteral("invalid range: ") + key);
    if (!(defaultValue >= minimum && defaultValue <= maximum))
        VAQ_PROG_ERROR(function, QStringLiteral("default out of range: ") + key);
    auto item = std::unique_ptr<CfgItem>(new CfgItem(DBL, QString(), description, flags));
    item->m_default = item->m_value = defaultValue;
    item->m_minimum = minimum;
    item->m_maximum = maximum;
    item->m_step = step;
    item->m_decimals = decimals;
    return insert(function, key, std::move(item));
}

CfgItem &CfgNode::addColor(
    const QString &key, const QString &description, const Color &defaultValue, Flags flags)
{
    auto item = std::unique_ptr<CfgItem>(new CfgItem(COLOR, QString(), description, flags));
    item->m_default = item->m_value = defaultValue;
    return insert("Vaq::Cfg::CfgNode::addColor", key, std::move(item));
}

CfgItem &CfgNode::addString(
    const QString &key, const QString &description, const QString &defaultValue, int length, Flags flags)
{
    auto item = std::unique_ptr<CfgItem>(new CfgItem(STRING, QString(), description, flags));
    item->m_default = item->m_value = defaultValue;
    item->m_length = length;
    return insert("Vaq::Cfg::CfgNode::addString", key, std::move(item));
}

CfgItem &CfgNode::addList(const QString &key, const QString &description, const QStringList &entries,
    unsigned defaultIndex, Flags flags)
{
    const char *function = "Vaq::Cfg::CfgNode::addList";
    if (entries.isEmpty())
        VAQ_PROG_ERROR(function, QStringLiteral("invalid range: ") + key);
    if (defaultIndex >= unsigned(entries.size()))
        VAQ_PROG_ERROR(function, QStringLiteral("default out of range: ") + key);
    auto item = std::unique_ptr<CfgItem>(new CfgItem(LIST, QString(), description, flags));
    item->m_default = item->m_value = defaultIndex;
    item->m_entries = entries;
    return insert(function, key, std::move(item));
}

// ---- values ------------------------------------------------------------------------------

bool CfgNode::getBool(const QString &key) const
{
    return std::get<bool>(findValue("Vaq::Cfg::CfgNode::getBool", key, BOOL).m_value);
}

void CfgNode::setBool(const QString &key, bool value)
{
    setValue("Vaq::Cfg::CfgNode::setBool", key, BOOL, value);
}

unsigned CfgNode::getUInt(const QString &key) const
{
    return std::get<unsigned>(findValue("Vaq::Cfg::CfgNode::getUInt", key, UINT).m_value);
}

void CfgNode::setUInt(const QString &key, unsigned value)
{
    setValue("Vaq::Cfg::CfgNode::setUInt", key, UINT, value);
}

double CfgNode::getDbl(const QString &key) const
{
    return std::get<double>(findValue("Vaq::Cfg::CfgNode::getDbl", key, DBL).m_value);
}

void CfgNode::setDbl(const QString &key, double value)
{
    setValue("Vaq::Cfg::CfgNode::setDbl", key, DBL, value);
}

Color CfgNode::getColor(const QString &key) const
{
    return std::get<Color>(findValue("Vaq::Cfg::CfgNode::getColor", key, COLOR).m_value);
}

void CfgNode::setColor(const QString &key, const Color &value)
{
    setValue("Vaq::Cfg::CfgNode::setColor", key, COLOR, value);
}

QString CfgNode::getString(const QString &key) const
{
    return std::get<QString>(findValue("Vaq::Cfg::CfgNode::getString", key, STRING).m_value);
}

void CfgNode::setString(const QString &key, const QString &value)
{
    setValue("Vaq::Cfg::CfgNode::setString", key, STRING, value);
}

unsigned CfgNode::getList(const QString &key) const
{
    return std::get<unsigned>(findValue("Vaq::Cfg::CfgNode::getList", key, LIST).m_value);
}

void CfgNode::setList(const QString &key, unsigned index)
{
    setValue("Vaq::Cfg::CfgNode::setList", key, LIST, index);
}

void CfgNode::resetToDefault(const QString &key)
{
    const char *function = "Vaq::Cfg::CfgNode::resetToDefault";
    const CfgItem *item = find(splitKey(function, key));
    if (!item)
        VAQ_PROG_ERROR(function, QStringLiteral("unknown key: ") + key);
    if (item->getKind() == NODE)
        VAQ_PROG_ERROR(function, QStringLiteral("wrong kind: %1 is node, not a value").arg(key));
    const_cast<CfgItem *>(item)->m_value = item->m_default;
}

// ---- file --------------------------------------------------------------------------------

const QMap<QString, CfgFileEntry> &CfgNode::getKeptValues() const
{
    return top()->m_kept;
}

void CfgNode::collectEntries(std::vector<CfgFileEntry> &entries, const QString &prefix) const
{
    for (const auto &child : m_children) {
        const QString key
            = prefix.isEmpty() ? child->getName() : prefix + QLatin1Char('/') + child->getName();
        if (child->getKind() == NODE)
            static_cast<const CfgNode *>(child.get())->collectEntries(entries, key);
        else
            entries.push_back({ key, child->getKind(), child->m_value });
    }
}

QByteArray CfgNode::toText() const
{
    std::vector<CfgFileEntry> entries;
    collectEntries(entries, QString());
    const QString here = getKey();
    const QString below = here.isEmpty() ? QString() : here + QLatin1Char('/');
    for (const CfgFileEntry &kept : top()->m_kept)
        if (kept.key.startsWith(below))
            entries.push_back({ kept.key.mid(below.size()), kept.kind, kept.value });
    return writeCfgFile(entries);
}

void CfgNode::fromText(const QByteArray &text, const QString &origin)
{
    for (const CfgFileLine &line : readCfgFile(text)) {
        const auto skip = [&](const QString &why) {
            VAQ_TRACE("Vaq::Cfg::CfgNode::fromText",
                QStringLiteral("%1:%2: %3, line skipped: %4")
                    .arg(origin)
                    .arg(line.number)
                    .arg(why, QString(line.text).replace('\t', ' ')));
        };
        if (!line.error.isEmpty()) {
            skip(line.error);
            continue;
        }
        const CfgFileEntry &entry = line.entry;
        const QStringList parts = entry.key.split(QLatin1Char('/'));
        const CfgItem *found = find(parts);
        if (!found) {
            // Not registered (yet): keep it for a later registration and for the next save.
            // A path through a value item can never be registered, so drop that instead.
            bool throughValue = false;
            for (qsizetype i = 1; i < parts.size() && !throughValue; ++i) {
                const CfgItem *above = find(parts.mid(0, i));
                throughValue = above && above->getKind() != NODE;
            }
            if (throughValue) {
                skip(QStringLiteral("key below a value"));
                continue;
            }
            const QString key = fullKey(entry.key);
            top()->m_kept.insert(key, { key, entry.kind, entry.value });
            continue;
        }
        if (found->getKind() != entry.kind) {
            skip(QStringLiteral("entry is %1").arg(kindName(found->getKind())));
            continue;
        }
        const QString error = found->checkValue(entry.value);
        if (!error.isEmpty()) {
            skip(QStringLiteral("value out of range ") + error);
            continue;
        }
        const_cast<CfgItem *>(found)->m_value = entry.value;
    }
}

bool CfgNode::load(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    fromText(file.readAll(), fileName);
    return true;
}

bool CfgNode::save(const QString &fileName) const
{
    return UserFile::writeAtomically(fileName, toText());
}

} // namespace Vaq::Cfg
