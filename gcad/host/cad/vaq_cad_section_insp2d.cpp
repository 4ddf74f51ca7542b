#include "gcad/host/cad/vaq_cad_section_insp2d.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Vaq::CAD {

namespace {

constexpr double MIN_LENGTH = 1e-12;
constexpr double DEGREE = std::numbers::pi / 180.0;

// v turned by angle about the unit axis (Rodrigues).
BaVec3d<double> rotated(const BaVec3d<double> &v, const BaVec3d<double> &axis, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return v * c + axis.cross(v) * s + axis * (axis.dot(v) * (1.0 - c));
}

bool isCurveValid(const ToleranceCurve &curve)
{
    if (curve.sweep == 0.0)
        return (curve.end - curve.start).length() > MIN_LENGTH;
    return std::isfinite(curve.sweep) && (curve.start - curve.centre).length() > MIN_LENGTH;
}

} // namespace

std::vector<BaVec3d<double>> tessellateToleranceCurve(
    const ToleranceCurve &curve, const BaVec3d<double> &normal, double offset)
{
    if (normal.length() < MIN_LENGTH || !isCurveValid(curve))
        return {};
    const BaVec3d<double> axis = normal.normalized();
    if (curve.sweep == 0.0) {
        const BaVec3d<double> left = axis.cross(curve.end - curve.start).normalized() * offset;
        return { curve.start + left, curve.end + left };
    }
    // The left of a counter-clockwise arc is its centre: the offset shrinks its radius; the
    // left of a clockwise one lies outside.
    const BaVec3d<double> radial = curve.start - curve.centre;
    const double radius = radial.length();
    const double inwards = curve.sweep > 0.0 ? offset : -offset;
    const BaVec3d<double> from = radial * ((radius - inwards) / radius);
    const int steps = std::max(1, int(std::ceil(std::abs(curve.sweep) / DEGREE - 1e-9)));
    std::vector<BaVec3d<double>> points;
    points.reserve(std::size_t(steps) + 1);
    for (int i = 0; i <= steps; ++i)
        points.push_back(curve.centre + rotated(from, axis, curve.sweep * i / steps));
    return points;
}

std::vector<BaVec3d<float>> leftNormals(
    const std::vector<BaVec3d<double>> &run, bool closed, const BaVec3d<double> &normal)
{
    const std::size_t n = run.size();
    std::vector<BaVec3d<float>> vectors(n);
    if (normal.length() < MIN_LENGTH)
        return vectors;
    const BaVec3d<double> axis = normal.normalized();
    for (std::size_t i = 0; i < n; ++i) {
        const BaVec3d<double> &before = i > 0 ? run[i - 1] : (closed ? run[n - 1] : run[i]);
        const BaVec3d<double> &after = i + 1 < n ? run[i + 1] : (closed ? run[0] : run[i]);
        const BaVec3d<double> left = axis.cross(after - before);
        const double length = left.length();
        if (length > MIN_LENGTH)
            vectors[i]
                = BaVec3d<float>(float(left.x / length), float(left.y / length), float(left.z / length));
    }
    return vectors;
}

SectionInsp2d::SectionInsp2d(ElementCreator::Element_t type, const QString &fileName)
    : SectionBase(type, fileName)
{
}

void SectionInsp2d::setTolerance(const Tolerance &band, ToleranceGeometry geometry)
{
    m_band = band;
    m_geometry = std::move(geometry);
    updateDerived();
}

const Tolerance &SectionInsp2d::getToleranceCache(const StageIdentifier &stage) const
{
    static const Tolerance none;
    return isStageValid(stage) ? m_band : none;
}

const ToleranceGeometry &SectionInsp2d::getToleranceGeometry(const StageIdentifier &stage) const
{
    static const ToleranceGeometry none;
    return isStageValid(stage) ? m_geometry : none;
}

bool SectionInsp2d::isToleranceGeometryValid(const StageIdentifier &stage) const
{
    const ToleranceGeometry &geometry = getToleranceGeometry(stage);
    return getToleranceCache(stage).isValid() && geometry.normal.length() > MIN_LENGTH
        && !geometry.curves.empty()
        && std::all_of(geometry.curves.begin(), geometry.curves.end(), isCurveValid);
}

const SectionRecords<BaVec3d<float>> &SectionInsp2d::getPointToleranceVector(
    const StageIdentifier &stage) const
{
    return forStage(stage, m_point_vectors);
}

bool SectionInsp2d::existsToleranceVector(const StageIdentifier &stage) const
{
    return !getPointToleranceVector(stage).empty();
}

void SectionInsp2d::sectionsChanged()
{
    updateDerived();
}

void SectionInsp2d::updateDerived()
{
    m_point_vectors.clear();
    recomputeBox();
    const BaVec3d<double> &normal = m_geometry.normal;
    if (normal.length() < MIN_LENGTH)
        return;
    const bool banded = m_band.isValid();
    for (std::size_t r = 0; r < runs().size(); ++r) {
        const std::vector<BaVec3d<double>> &run = runs()[r];
        m_point_vectors.push_back(leftNormals(run, closedFlags()[r], normal));
        for (std::size_t i = 0; banded && i < run.size(); ++i) {
            const BaVec3d<float> &f = m_point_vectors.back()[i];
            const BaVec3d<double> v(f.x, f.y, f.z);
            extendBox(run[i] + v * m_band.lower);
            extendBox(run[i] + v * m_band.upper);
        }
    }
    if (!banded)
        return;
    for (const ToleranceCurve &curve : m_geometry.curves) {
        for (double offset : { m_band.lower, m_band.upper }) {
            for (const BaVec3d<double> &p : tessellateToleranceCurve(curve, normal, offset))
                extendBox(p);
        }
    }
}

} // namespace Vaq::CAD
