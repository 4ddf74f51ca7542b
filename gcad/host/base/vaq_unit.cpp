#include "gcad/host/base/vaq_unit.h"

namespace Vaq {

namespace {
Unit _length_unit(QStringLiteral("mm"));
}

const Unit &Unit::getLengthUnit()
{
    return _length_unit;
}

void Unit::setLengthUnit(const Unit &unit)
{
    _length_unit = unit;
}

QString Unit::toString(double value, int decimals) const
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-'))
        && text.count(QLatin1Char('0')) + text.count(QLatin1Char('.')) == text.size() - 1)
        text.remove(0, 1);
    return text;
}

} // namespace Vaq
