// SectionInsp2d: the section of a 2-D inspection. Beside the section data it keeps the tolerance
// band (the tolerance cache), the nominal figure the band lies around (the tolerance geometry:
// lines and arcs in one plane) and, per section point, the in-plane direction in which its
// tolerance is measured (the point tolerance vector).
#pragma once

#include "gcad/host/cad/vaq_cad_section_base.h"
#include "gcad/host/cad/vaq_cad_tolerance.h"

#include <vector>

namespace Vaq::CAD {

// A line from start to end (sweep 0), or an arc about centre from start by sweep radians,
// counter-clockwise seen from the tip of the plane normal.
struct ToleranceCurve
{
    BaVec3d<double> start;
    BaVec3d<double> end;
    BaVec3d<double> centre;
    double sweep = 0.0;
};

struct ToleranceGeometry
{
    BaVec3d<double> normal; // of the plane the curves lie in
    std::vector<ToleranceCurve> curves;
};

// The points of curve moved by offset to its left (seen from the normal's tip, along the curve);
// arcs in steps of at most one degree. Empty for a curve of no length or a null normal.
std::vector<BaVec3d<double>> tessellateToleranceCurve(
    const ToleranceCurve &curve, const BaVec3d<double> &normal, double offset);

// Per point of run, the unit vector to its left in the plane with normal (square to the line
// from the point before to the point after; one-sided at the ends of an open run); a null
// vector where that line has no length or the normal none.
std::vector<BaVec3d<float>> leftNormals(
    const std::vector<BaVec3d<double>> &run, bool closed, const BaVec3d<double> &normal);

class SectionInsp2d : public SectionBase
{
public:
    // Throws ProgError "not a section type" when type is not a section kind.
    explicit SectionInsp2d(ElementCreator::Element_t type = ElementCreator::SECTION_INSPECTION_2D,
        const QString &fileName = QString());

    // The band and the figure; the point tolerance vectors follow from the figure's plane and
    // the runs. The bounding box grows to hold the band.
    void setTolerance(const Tolerance &band, ToleranceGeometry geometry);

    const Tolerance &getToleranceCache(const StageIdentifier &stage) const;
    const ToleranceGeometry &getToleranceGeometry(const StageIdentifier &stage) const;
    // A valid band and plane normal and at least one curve, each of some length.
    bool isToleranceGeometryValid(const StageIdentifier &stage) const;
    // Per point, the unit vector to the left of the run in the figure's plane.
    const SectionRecords<BaVec3d<float>> &getPointToleranceVector(const StageIdentifier &stage) const;
    bool existsToleranceVector(const StageIdentifier &stage) const override;

protected:
    void sectionsChanged() override;

private:
    void updateDerived();

    Tolerance m_band;
    ToleranceGeometry m_geometry;
    SectionRecords<BaVec3d<float>> m_point_vectors;
};

} // namespace Vaq::CAD
