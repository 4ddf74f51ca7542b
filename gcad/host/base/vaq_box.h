// Box3d: an axis-aligned box given by its minimum and maximum corner. A new box is empty:
// its minimum is the largest double and its maximum the lowest, so that extending it by
// any point yields that point.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <array>

namespace Vaq {

class Box3d
{
public:
    Box3d();
    Box3d(const BaVec3d<double> &min, const BaVec3d<double> &max);

    const BaVec3d<double> &getMin() const { return m_min; }
    const BaVec3d<double> &getMax() const { return m_max; }

    bool isEmpty() const;
    void extend(const BaVec3d<double> &point);
    void extend(const Box3d &box);

    BaVec3d<double> getCenter() const;
    BaVec3d<double> getSize() const;
    bool contains(const BaVec3d<double> &point) const;
    // The eight corners, bit 0 of the index choosing max.x, bit 1 max.y, bit 2 max.z.
    std::array<BaVec3d<double>, 8> getCorners() const;

    bool operator==(const Box3d &o) const { return m_min == o.m_min && m_max == o.m_max; }

private:
    BaVec3d<double> m_min;
    BaVec3d<double> m_max;
};

} // namespace Vaq
