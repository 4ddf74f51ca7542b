// JsonReader: reads the values of one scene document and checks each as it goes. Every failure
// throws ImportError naming the file and the path of the offending value ("elements[2].at[1]"),
// so that each element kind's reader reports its mistakes the same way.
#pragma once

#include "apps/scene/scene_import_error.h"

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <limits>
#include <vector>

namespace Gcad::Scene {

class JsonReader
{
public:
    explicit JsonReader(const QString &fileName)
        : m_file_name(fileName)
    {
    }

    [[noreturn]] void fail(const QString &where, const QString &why) const;
    [[noreturn]] void expected(const QString &where, const QString &what, const QJsonValue &value) const;

    // The object at where, refusing keys it does not know so that a misspelt key is not
    // silently ignored.
    QJsonObject object(const QJsonValue &value, const QString &where, const QStringList &keys) const;
    QJsonArray array(const QJsonValue &value, const QString &where) const;
    double number(const QJsonValue &value, const QString &where) const;
    double number(const QJsonValue &value, const QString &where, double min, double max) const;
    int64_t integer(const QJsonValue &value, const QString &where, int64_t min, int64_t max) const;
    bool boolean(const QJsonValue &value, const QString &where) const;
    QString text(const QJsonValue &value, const QString &where) const;
    // A colour name or "#rrggbb" (as Qt knows them), or a list of 3 or 4 channels 0 to 255.
    Vaq::Color color(const QJsonValue &value, const QString &where) const;

    template<typename T> Vaq::BaVec3d<T> vector(const QJsonValue &value, const QString &where) const
    {
        const QJsonArray xyz = array(value, where);
        if (xyz.size() != 3)
            fail(where, QStringLiteral("expected 3 numbers, not %1").arg(xyz.size()));
        const double limit = std::numeric_limits<T>::max();
        return Vaq::BaVec3d<T>(T(number(xyz[0], indexed(where, 0), -limit, limit)),
            T(number(xyz[1], indexed(where, 1), -limit, limit)),
            T(number(xyz[2], indexed(where, 2), -limit, limit)));
    }

    // One entry per element of the list at key, each read by read(value, where).
    template<typename Read>
    auto list(const QJsonObject &object, const QString &where, const QString &key, Read read) const
    {
        const QString at = where + '.' + key;
        const QJsonArray values = array(object[key], at);
        std::vector<decltype(read(QJsonValue(), QString()))> result;
        result.reserve(std::size_t(values.size()));
        for (qsizetype i = 0; i < values.size(); ++i)
            result.push_back(read(values[i], indexed(at, i)));
        return result;
    }

    // The same, for a list that must have count entries when given; empty when not given.
    template<typename Read>
    auto perPoint(const QJsonObject &object, const QString &where, const QString &key, std::size_t count,
        Read read) const
    {
        if (!object.contains(key))
            return decltype(list(object, where, key, read))();
        auto result = list(object, where, key, read);
        if (result.size() != count)
            fail(where + '.' + key, QStringLiteral("%1 entries for %2 points").arg(result.size()).arg(count));
        return result;
    }

    static QString indexed(const QString &where, qsizetype index)
    {
        return QStringLiteral("%1[%2]").arg(where).arg(index);
    }

private:
    const QString &m_file_name;
};

} // namespace Gcad::Scene
