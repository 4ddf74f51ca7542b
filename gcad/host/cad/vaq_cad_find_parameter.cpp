#include "gcad/host/cad/vaq_cad_find_parameter.h"

namespace Vaq::CAD {

bool FindParameter::getClippingPlane(Plane3d *plane) const
{
    if (!m_clipping_plane)
        return false;
    if (plane)
        *plane = *m_clipping_plane;
    return true;
}

bool FindParameter::getViewLineInElement(const Transformation *toWorld, Line3d *line) const
{
    if (!toWorld) {
        *line = m_view_line;
        return true;
    }
    Transformation toElement;
    if (!toWorld->getInverse(&toElement))
        return false;
    *line = Line3d(
        toElement.transform(m_view_line.getPoint()), toElement.transformVector(m_view_line.getDirection()));
    return true;
}

void FindParameter::clearFound()
{
    m_found_point.reset();
    m_found_z = 0.0;
    m_found_trafo.reset();
}

void FindParameter::setFound(const BaVec3d<double> &point, double z)
{
    m_found_point = point;
    m_found_z = z;
}

bool FindParameter::getFoundZ(double *z) const
{
    if (!m_found_point)
        return false;
    if (z)
        *z = m_found_z;
    return true;
}

bool FindParameter::getFoundPoint(BaVec3d<double> *point) const
{
    if (!m_found_point)
        return false;
    if (point)
        *point = *m_found_point;
    return true;
}

bool FindParameter::getFoundRenderTrafo(Transformation *transformation) const
{
    if (!m_found_trafo)
        return false;
    if (transformation)
        *transformation = *m_found_trafo;
    return true;
}

} // namespace Vaq::CAD
