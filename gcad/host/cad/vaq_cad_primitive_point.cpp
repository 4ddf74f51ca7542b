#include "gcad/host/cad/vaq_cad_primitive_point.h"

namespace Vaq::CAD {

namespace {

Box3d pointBox(const BaVec3d<double> &p)
{
    return Primitive::isPoint(p) ? Box3d(p, p) : Box3d();
}

} // namespace

PointBase::PointBase(const BaVec3d<double> &point, ElementCreator::Element_t type)
    : Primitive(type,
        { ElementCreator::POINT, ElementCreator::REFERENCE_POINT, ElementCreator::FIXTURE_POINT,
            ElementCreator::TARGET_POINT, ElementCreator::NOMINAL_POINT },
        "Vaq::CAD::PointBase::PointBase")
    , m_point(point)
{
}

bool PointBase::getPoint(BaVec3d<double> *point) const
{
    *point = m_point;
    return isPoint(m_point);
}

Box3d PointBase::geometryBox() const
{
    return pointBox(m_point);
}

Label::Label(const BaVec3d<double> &point)
    : Primitive(ElementCreator::LABEL_MARKER, { ElementCreator::LABEL_MARKER }, "Vaq::CAD::Label::Label")
    , m_point(point)
{
}

bool Label::getElementPoint(BaVec3d<double> *point) const
{
    *point = m_point;
    return isPoint(m_point);
}

Box3d Label::geometryBox() const
{
    return pointBox(m_point);
}

} // namespace Vaq::CAD
