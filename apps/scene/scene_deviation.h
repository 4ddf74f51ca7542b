// Deviations of measured (actual) data from its nominal part, the everyday job of inspection:
// for every actual point (a scan's points, an actual mesh's vertices) its signed distance to
// the nominal mesh, and sections cut through the nominal with the deviations of the actual
// data near them, as plain data for the elements that show them.
#pragma once

#include "gcad/host/base/vaq_plane.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace Gcad::Scene {

class PointGrid;

struct Deviations
{
    // Per point its signed distance (positive on the side the nominal's triangles face), or
    // NO_VALUE when the nominal lies farther than the maximum distance.
    std::vector<float> values;
    // Per point where it was measured: its nearest point on the nominal (unset without value).
    std::vector<Vaq::BaVec3d<double>> feet;
    std::size_t withValue = 0;
};

// The deviations of points from the mesh nominal (its vertices and triangles) within
// maxDistance: the nearest point of a hierarchy of the triangles (TriangleBvh::nearest), each
// thread (threads, or one per processor for 0) walking blocks of consecutive points with the
// previous point's triangle as a hint, which scans in scan order make cheap.
Deviations computeDeviations(const Vaq::CAD::PolyBaseData &nominal,
    const std::vector<Vaq::BaVec3d<double>> &points, double maxDistance, unsigned threads = 0);

// A section through the nominal with the deviations of the actual data near it; every vector
// per point has the nesting of runs.
struct DeviationSection
{
    Vaq::Plane3d plane;
    std::vector<std::vector<Vaq::BaVec3d<double>>> runs;
    std::vector<bool> closed;
    // The mean deviation of the actual points whose nearest nominal point lies within the
    // section radius of the section point; NO_VALUE where there is none (everywhere without
    // actual data).
    std::vector<std::vector<float>> values;
    // The nominal's unit normal at the point times its value: the deviation needle (zero where
    // there is no value).
    std::vector<std::vector<Vaq::BaVec3d<float>>> needles;

    std::size_t numberOfPoints() const;
};

// Cuts sections through a nominal mesh element whose spatial tree exists, with the deviations
// of the actual data when given.
class SectionCutter
{
public:
    // deviations (of the actual data, from this nominal) may be null; they must outlive the
    // cutter. radius > 0 when deviations are given.
    SectionCutter(const Vaq::CAD::PolyBase &nominal, const Deviations *deviations, double radius);
    ~SectionCutter();

    DeviationSection cut(const Vaq::Plane3d &plane) const;

private:
    const Vaq::CAD::PolyBase &m_nominal;
    const Deviations *m_deviations;
    double m_radius;
    std::unique_ptr<PointGrid> m_feet;
};

} // namespace Gcad::Scene
