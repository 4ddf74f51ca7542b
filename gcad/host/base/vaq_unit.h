// Unit: a unit of measure as the application shows it: its name and how its values are
// written. The application's length unit is millimetres unless it sets another.
#pragma once

#include <QString>

namespace Vaq {

class Unit
{
public:
    explicit Unit(const QString &name)
        : m_name(name)
    {
    }

    static const Unit &getLengthUnit();
    static void setLengthUnit(const Unit &unit);

    const QString &getName() const { return m_name; }
    // value with the given number of decimals, in the C locale; "-0" is written "0".
    QString toString(double value, int decimals) const;

private:
    QString m_name;
};

} // namespace Vaq
