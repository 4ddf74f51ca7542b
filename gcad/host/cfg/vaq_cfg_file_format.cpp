#include "gcad/host/cfg/vaq_cfg_file_format.h"

#include "gcad/host/base/vaq_tokenize.h"

#include <QList>

#include <cmath>

namespace Vaq::Cfg {

namespace {

const char kFileHeader[] = "# Vaq configuration: key<TAB>kind<TAB>value\n";

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

// Reads one line that is neither blank nor a comment into its entry, or says why it cannot.
QString readEntry(const QString &line, CfgFileEntry &entry)
{
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() != 3 || fields[0].isEmpty())
        return QStringLiteral("not key, kind and value");
    if (!CfgItem::kindFromName(fields[1], entry.kind) || entry.kind == CfgItem::NODE)
        return QStringLiteral("unknown kind");
    entry.key = QString::fromStdString(untokenize(fields[0].toStdString(), false));
    if (entry.key.split(QLatin1Char('/')).contains(QString()))
        return QStringLiteral("invalid key");
    if (!parseCfgValue(entry.kind, fields[2], entry.value))
        return QStringLiteral("bad value");
    return QString();
}

} // namespace

QByteArray writeCfgFile(const std::vector<CfgFileEntry> &entries)
{
    QByteArray out(kFileHeader);
    for (const CfgFileEntry &entry : entries)
        out += (QString::fromStdString(tokenize(entry.key.toStdString(), false)) + QLatin1Char('\t')
            + CfgItem::kindName(entry.kind) + QLatin1Char('\t') + formatCfgValue(entry.value)
            + QLatin1Char('\n'))
                   .toUtf8();
    return out;
}

std::vector<CfgFileLine> readCfgFile(const QByteArray &text)
{
    std::vector<CfgFileLine> lines;
    const QList<QByteArray> raw = text.split('\n');
    for (qsizetype n = 0; n < raw.size(); ++n) {
        QString line = QString::fromUtf8(raw[n]);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        CfgFileLine read;
        read.number = int(n + 1);
        read.text = line;
        read.error = readEntry(line, read.entry);
        lines.push_back(read);
    }
    return lines;
}

QString formatCfgValue(const CfgValue &value)
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

bool parseCfgValue(CfgItem::Kind_t kind, const QString &text, CfgValue &value)
{
    switch (kind) {
    case CfgItem::NODE:
        return false;
    case CfgItem::BOOL:
        if (text == QLatin1String("true") || text == QLatin1String("false")) {
            value = text == QLatin1String("true");
            return true;
        }
        return false;
    case CfgItem::UINT:
    case CfgItem::LIST: {
        unsigned v = 0;
        if (!parseUnsigned(text, v))
            return false;
        value = v;
        return true;
    }
    case CfgItem::DBL: {
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return false;
        value = v;
        return true;
    }
    case CfgItem::COLOR: {
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
    case CfgItem::STRING:
        // tokenize writes a blank as "\s", so a raw one is no written value; any other
        // text is a valid token.
        if (text.isEmpty() || text.contains(QLatin1Char(' ')))
            return false;
        value = QString::fromStdString(untokenize(text.toStdString(), true));
        return true;
    }
    return false;
}

} // namespace Vaq::Cfg
