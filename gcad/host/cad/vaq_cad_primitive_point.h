// The point-like primitives: PointBase for measured, reference, fixture, target and nominal
// points, and Label, a label marker drawn as a point marker at the point it names.
#pragma once

#include "gcad/host/cad/vaq_cad_primitive.h"

namespace Vaq::CAD {

class PointBase : public Primitive
{
public:
    // Types 7, 70, 71, 72 and 97; any other throws ProgError "wrong element type".
    explicit PointBase(const BaVec3d<double> &point, ElementCreator::Element_t type = ElementCreator::POINT);

    // False for a point with a coordinate that is not finite.
    bool getPoint(BaVec3d<double> *point) const;

protected:
    Box3d geometryBox() const override;

private:
    BaVec3d<double> m_point;
};

class Label : public Primitive
{
public:
    explicit Label(const BaVec3d<double> &point);

    // The point the label marks; false when it is not finite.
    bool getElementPoint(BaVec3d<double> *point) const;

protected:
    Box3d geometryBox() const override;

private:
    BaVec3d<double> m_point;
};

} // namespace Vaq::CAD
