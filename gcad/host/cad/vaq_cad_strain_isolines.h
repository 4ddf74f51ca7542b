// StrainIsolines: the isolines of a strain grid, traced by marching squares: for each isoline
// value the segments where the value crosses the grid's facets, with the surface normal at
// each segment end and a place for the value's label.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <cstdint>
#include <vector>

namespace Vaq::CAD {

class StrainIsolines
{
public:
    struct Isoline
    {
        // Segments as pairs of points, and the normal at each point.
        std::vector<BaVec3d<float>> points;
        std::vector<BaVec3d<float>> normals;
    };

    // The grid as Strain keeps it: width x height points row by row; shown says which
    // points take part (a facet is traced only when all four corners do).
    struct Grid
    {
        unsigned width = 0;
        unsigned height = 0;
        const BaVec3d<float> *positions = nullptr;
        const BaVec3d<float> *normals = nullptr;
        const float *values = nullptr;
        std::vector<bool> shown;
    };

    // Replaces the isolines by those of the grid at each of values.
    void trace(const Grid &grid, const std::vector<float> &values);

    // The isoline at values[index]; an empty one for an index out of range.
    const Isoline &get(unsigned index) const;
    // The label's place: the middle of the isoline's middle segment. False for an empty one.
    bool getLabelPosition(unsigned index, BaVec3d<float> *position) const;

private:
    std::vector<Isoline> m_isolines;
};

} // namespace Vaq::CAD
