#include "gcad/host/cfg/vaq_cfg_item.h"

#include "gcad/host/base/vaq_tokenize.h"
#include "gcad/host/cfg/vaq_cfg_node.h"

#include <cmath>

namespace Vaq::Cfg {

namespace {

QString rangeText(const CfgValue &value, const CfgValue &minimum, const CfgValue &maximum)
{
    return QStringLiteral("%1 (%2 to %3)")
        .arg(CfgItem::formatValue(value), CfgItem::formatValue(minimum), CfgItem::formatValue(maximum));
}

// Strict unsigned parse: digits only, so "-1" or "1e3" never slip through as some other number.
bool parseUnsigned(const QString &text, unsigned &result)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!c.isDigit())
            return false;
    bool ok = false;
    const qulonglong v = text.toULongLong(&ok);
    if (!ok || v > 0xffffffffull)
        return false;
    result = unsigned(v);
    return true;
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

QString CfgItem::formatValue(const CfgValue &value)
{
    if (const bool *b = std::get_if<bool>(&value))
        return *b ? QStringLiteral("true") : QStringLiteral("false");
    if (const unsigned *u = std::get_if<unsigned>(&value))
        return QString::number(*u);
    if (const double *d = std::get_if<double>(&value))
        return QString::number(*d, 'g', 17);
    if (const Color *c = std::get_if<Color>(&value))
        return QStringLiteral("%1,%2,%3,%4").arg(c->r).arg(c->g).arg(c->b).arg(c->a);
    if (const QString *s = std::get_if<QString>(&value))
        return QString::fromStdString(tokenize(s->toStdString(), true));
    return QString();
}

bool CfgItem::parseValue(const QString &text, CfgValue &value) const
{
    switch (m_kind) {
    case NODE:
        return false;
    case BOOL:
        if (text == QLatin1String("true") || text == QLatin1String("false")) {
            value = text == QLatin1String("true");
            return true;
        }
        return false;
    case UINT:
    case LIST: {
        unsigned v = 0;
        if (!parseUnsigned(text, v))
            return false;
        value = v;
        return true;
    }
    case DBL: {
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return false;
        value = v;
        return true;
    }
    case COLOR: {
        const QStringList parts = text.split(QLatin1Char(','));
        if (parts.size() != 4)
            return false;
        unsigned channel[4];
        for (int i = 0; i < 4; ++i)
            if (!parseUnsigned(parts[i], channel[i]) || channel[i] > 255)
                return false;
        value = Color(uint8_t(channel[0]), uint8_t(channel[1]), uint8_t(channel[2]), uint8_t(channel[3]));
        return true;
    }
    case STRING:
        // A raw blank would have split the line; any other text is a valid token.
        if (text.isEmpty() || text.contains(QLatin1Char(' ')))
            return false;
        value = QString::fromStdString(untokenize(text.toStdString(), true));
        return true;
    }
    return false;
}

} // namespace Vaq::Cfg
