#include "gcad/host/cad/vaq_cad_primitive.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <algorithm>
#include <cmath>

namespace Vaq::CAD {

namespace {

ElementCreator::Element_t checkedType(ElementCreator::Element_t type,
    std::initializer_list<ElementCreator::Element_t> types, const char *function)
{
    if (std::find(types.begin(), types.end(), type) == types.end())
        VAQ_PROG_ERROR(function, "wrong element type");
    return type;
}

} // namespace

Primitive::Primitive(ElementCreator::Element_t type, std::initializer_list<ElementCreator::Element_t> types,
    const char *function)
    : Element(checkedType(type, types, function))
{
    setRenderLevel(RL_FOREGROUND);
}

bool Primitive::getBoundingBox(
    const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const
{
    return getStoredOrDataBox(geometryBox(), stage, type, context, box);
}

bool Primitive::mustLabelBeRendered(const StageIdentifier &stage) const
{
    return !geometryBox().isEmpty() && Element::mustLabelBeRendered(stage);
}

bool Primitive::isPoint(const BaVec3d<double> &p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool Primitive::isDirection(const BaVec3d<double> &v)
{
    return isPoint(v) && v.length() > 1e-50;
}

bool Primitive::isLength(double length)
{
    return std::isfinite(length) && length > 0.0;
}

Box3d Primitive::circleBox(const BaVec3d<double> &centre, const BaVec3d<double> &normal, double radius)
{
    const BaVec3d<double> n = normal.normalized();
    BaVec3d<double> reach;
    for (int i = 0; i < 3; ++i)
        reach[i] = radius * std::sqrt(std::max(0.0, 1.0 - n[i] * n[i]));
    return Box3d(centre - reach, centre + reach);
}

} // namespace Vaq::CAD
