#include "gcad/host/cad/vaq_cad_gps.h"

namespace Vaq::CAD {

using C = ElementCreator;

bool GpsRenderData::isEmpty() const
{
    return planes.empty() && lines.empty() && cylinders.empty() && points.empty() && spheres.empty();
}

GpsElement::GpsElement(ElementCreator::Element_t type)
    : DrawnElement(type,
        { C::GPS_DATUM_SYSTEM, C::GPS_FLATNESS, C::GPS_STRAIGHTNESS, C::GPS_ROUNDNESS, C::GPS_CYLINDRICITY,
            C::GPS_LINE_PROFILE, C::GPS_SURFACE_PROFILE, C::GPS_PARALLELISM, C::GPS_PERPENDICULARITY,
            C::GPS_ANGULARITY, C::GPS_POSITION, C::GPS_CONCENTRICITY, C::GPS_SYMMETRY, C::GPS_CIRCULAR_RUNOUT,
            C::GPS_TOTAL_RUNOUT },
        "Vaq::CAD::GpsElement::GpsElement")
{
}

QString GpsElement::getSymbol() const
{
    switch (getType()) {
    case C::GPS_FLATNESS:
        return QStringLiteral("\u23e5");
    case C::GPS_STRAIGHTNESS:
        return QStringLiteral("\u23e4");
    case C::GPS_ROUNDNESS:
        return QStringLiteral("\u25cb");
    case C::GPS_CYLINDRICITY:
        return QStringLiteral("\u232d");
    case C::GPS_LINE_PROFILE:
        return QStringLiteral("\u2312");
    case C::GPS_SURFACE_PROFILE:
        return QStringLiteral("\u2313");
    case C::GPS_PARALLELISM:
        return QStringLiteral("\u2225");
    case C::GPS_PERPENDICULARITY:
        return QStringLiteral("\u27c2");
    case C::GPS_ANGULARITY:
        return QStringLiteral("\u2220");
    case C::GPS_POSITION:
        return QStringLiteral("\u2316");
    case C::GPS_CONCENTRICITY:
        return QStringLiteral("\u25ce");
    case C::GPS_SYMMETRY:
        return QStringLiteral("\u232f");
    case C::GPS_CIRCULAR_RUNOUT:
        return QStringLiteral("\u2197");
    case C::GPS_TOTAL_RUNOUT:
        return QStringLiteral("\u2330");
    default:
        return QString();
    }
}

QString GpsElement::getFrameText() const
{
    QStringList parts;
    if (getType() != C::GPS_DATUM_SYSTEM)
        parts << getSymbol() << QString::number(m_tolerance);
    parts << m_datums;
    return parts.join(QLatin1Char(' '));
}

void GpsElement::extendBox(Box3d &box) const
{
    for (const auto &outline : m_render_data.planes) {
        for (const BaVec3d<double> &p : outline)
            extend(box, p);
    }
    for (const auto &[from, to] : m_render_data.lines) {
        extend(box, from);
        extend(box, to);
    }
    for (const GpsRenderData::Cylinder &c : m_render_data.cylinders) {
        // The box of the spheres round both ends holds the cylinder.
        const BaVec3d<double> half = c.axis.normalized() * (c.height / 2.0);
        const BaVec3d<double> r(c.diameter / 2.0, c.diameter / 2.0, c.diameter / 2.0);
        for (const BaVec3d<double> &end : { c.center - half, c.center + half }) {
            extend(box, end - r);
            extend(box, end + r);
        }
    }
    for (const BaVec3d<double> &p : m_render_data.points)
        extend(box, p);
    for (const Sphere3d &s : m_render_data.spheres) {
        const BaVec3d<double> r(s.getRadius(), s.getRadius(), s.getRadius());
        extend(box, s.getCenter() - r);
        extend(box, s.getCenter() + r);
    }
}

} // namespace Vaq::CAD
