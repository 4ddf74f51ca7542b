#include "apps/scene/scene_json_reader.h"

#include <QColor>

#include <cmath>

namespace Gcad::Scene {

namespace {

QString typeName(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("true or false");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a text");
    case QJsonValue::Array:
        return QStringLiteral("a list");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

} // namespace

void JsonReader::fail(const QString &where, const QString &why) const
{
    throw ImportError(m_file_name, where + QStringLiteral(": ") + why);
}

void JsonReader::expected(const QString &where, const QString &what, const QJsonValue &value) const
{
    fail(where, QStringLiteral("expected %1, not %2").arg(what, typeName(value)));
}

QJsonObject JsonReader::object(const QJsonValue &value, const QString &where, const QStringList &keys) const
{
    if (!value.isObject())
        expected(where, QStringLiteral("an object"), value);
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!keys.contains(it.key()))
            fail(where, QStringLiteral("unknown key '%1' (known: %2)").arg(it.key(), keys.join(", ")));
    }
    return object;
}

QJsonArray JsonReader::array(const QJsonValue &value, const QString &where) const
{
    if (!value.isArray())
        expected(where, QStringLiteral("a list"), value);
    return value.toArray();
}

double JsonReader::number(const QJsonValue &value, const QString &where) const
{
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        expected(where, QStringLiteral("a finite number"), value);
    return value.toDouble();
}

double JsonReader::number(const QJsonValue &value, const QString &where, double min, double max) const
{
    const double result = number(value, where);
    if (result < min || result > max)
        fail(where, QStringLiteral("%1 is outside %2 to %3").arg(result).arg(min).arg(max));
    return result;
}

int64_t JsonReader::integer(const QJsonValue &value, const QString &where, int64_t min, int64_t max) const
{
    const double result = number(value, where);
    if (result != std::floor(result))
        expected(where, QStringLiteral("a whole number"), value);
    if (result < double(min) || result > double(max))
        fail(where, QStringLiteral("%1 is outside %2 to %3").arg(result).arg(min).arg(max));
    return int64_t(result);
}

bool JsonReader::boolean(const QJsonValue &value, const QString &where) const
{
    if (!value.isBool())
        expected(where, QStringLiteral("true or false"), value);
    return value.toBool();
}

QString JsonReader::text(const QJsonValue &value, const QString &where) const
{
    if (!value.isString())
        expected(where, QStringLiteral("a text"), value);
    return value.toString();
}

Vaq::Color JsonReader::color(const QJsonValue &value, const QString &where) const
{
    if (value.isString()) {
        const QColor color = QColor::fromString(value.toString());
        if (!color.isValid())
            fail(where,
                QStringLiteral("'%1' is not a colour (a name such as \"red\" or \"#rrggbb\")")
                    .arg(value.toString().left(40)));
        return Vaq::Color(
            uint8_t(color.red()), uint8_t(color.green()), uint8_t(color.blue()), uint8_t(color.alpha()));
    }
    if (!value.isArray())
        expected(where, QStringLiteral("a colour"), value);
    const QJsonArray channels = value.toArray();
    if (channels.size() != 3 && channels.size() != 4)
        fail(where, QStringLiteral("a colour has 3 or 4 channels, not %1").arg(channels.size()));
    uint8_t c[4] = { 0, 0, 0, 255 };
    for (qsizetype i = 0; i < channels.size(); ++i)
        c[i] = uint8_t(integer(channels[i], indexed(where, i), 0, 255));
    return Vaq::Color(c[0], c[1], c[2], c[3]);
}

} // namespace Gcad::Scene
