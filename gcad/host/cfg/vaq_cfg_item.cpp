#include "gcad/host/cfg/vaq_cfg_item.h"

#include "gcad/host/cfg/vaq_cfg_file_format.h"
#include "gcad/host/cfg/vaq_cfg_node.h"

namespace Vaq::Cfg {

namespace {

QString rangeText(const CfgValue &value, const CfgValue &minimum, const CfgValue &maximum)
{
    return QStringLiteral("%1 (%2 to %3)")
        .arg(formatCfgValue(value), formatCfgValue(minimum), formatCfgValue(maximum));
}

} // namespace

CfgItem::CfgItem(Kind_t kind, const QString &name, const QString &description, Flags flags)
    : m_kind(kind)
    , m_name(name)
    , m_description(description)
    , m_flags(flags)
{
}

CfgItem::~CfgItem() = default;

QString CfgItem::getKey() const
{
    if (!m_parent)
        return QString();
    const QString above = m_parent->getKey();
    return above.isEmpty() ? m_name : above + QLatin1Char('/') + m_name;
}

QString CfgItem::kindName(Kind_t kind)
{
    switch (kind) {
    case NODE:
        return QStringLiteral("node");
    case BOOL:
        return QStringLiteral("bool");
    case UINT:
        return QStringLiteral("uint");
    case DBL:
        return QStringLiteral("double");
    case COLOR:
        return QStringLiteral("color");
    case STRING:
        return QStringLiteral("string");
    case LIST:
        return QStringLiteral("list");
    }
    return QStringLiteral("unknown");
}

bool CfgItem::kindFromName(const QString &name, Kind_t &kind)
{
    for (Kind_t k : { NODE, BOOL, UINT, DBL, COLOR, STRING, LIST }) {
        if (kindName(k) == name) {
            kind = k;
            return true;
        }
    }
    return false;
}

QString CfgItem::checkValue(const CfgValue &value) const
{
    switch (m_kind) {
    case NODE:
        return QStringLiteral("a node has no value");
    case UINT: {
        const unsigned v = std::get<unsigned>(value);
        if (v < std::get<unsigned>(m_minimum) || v > std::get<unsigned>(m_maximum))
            return rangeText(value, m_minimum, m_maximum);
        return QString();
    }
    case DBL: {
        // Written so that NaN fails too.
        const double v = std::get<double>(value);
        if (!(v >= std::get<double>(m_minimum) && v <= std::get<double>(m_maximum)))
            return rangeText(value, m_minimum, m_maximum);
        return QString();
    }
    case LIST: {
        const unsigned v = std::get<unsigned>(value);
        if (v >= unsigned(m_entries.size()))
            return rangeText(value, CfgValue(0u), CfgValue(unsigned(m_entries.size()) - 1));
        return QString();
    }
    case BOOL:
    case COLOR:
    case STRING:
        return QString();
    }
    return QString();
}

} // namespace Vaq::Cfg
