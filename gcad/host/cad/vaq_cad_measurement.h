// Measurements other than distances: a measured point, line or plane (and the perpendicular
// from a measured point onto a measured line or plane), angles between two directions at an
// apex, and six-degree-of-freedom results (a measured frame of three axes). Each value that a
// measurement may lack (a probe that found nothing) comes with its own validity.
#pragma once

#include "gcad/host/base/vaq_line.h"
#include "gcad/host/base/vaq_plane.h"
#include "gcad/host/cad/vaq_cad_drawn_element.h"

#include <optional>
#include <vector>

namespace Vaq::CAD {

// POINT_MEASUREMENT, LINE_MEASUREMENT, POINT_LINE_MEASUREMENT or POINT_PLANE_MEASUREMENT.
class FeatureMeasurement : public DrawnElement
{
public:
    explicit FeatureMeasurement(ElementCreator::Element_t type);

    bool isMeasuredPointValid() const { return m_point.has_value(); }
    const BaVec3d<double> &getMeasuredPoint() const { return *m_point; }
    void setMeasuredPoint(const BaVec3d<double> &point) { m_point = point; }
    // The measured line runs between its two ends; it is valid when they differ.
    bool isMeasuredLineValid() const { return m_line_valid; }
    Line3d getMeasuredLine() const;
    const BaVec3d<double> &getLineEnd(int index) const { return index == 0 ? m_line_start : m_line_end; }
    void setMeasuredLine(const BaVec3d<double> &start, const BaVec3d<double> &end);
    // The measured plane, shown as the polygon of its plane points; valid with a normal.
    bool isMeasuredPlaneValid() const { return m_plane_valid; }
    const Plane3d &getMeasuredPlane() const { return m_plane; }
    const std::vector<BaVec3d<double>> &getPlanePoints() const { return m_plane_points; }
    void setMeasuredPlane(const Plane3d &plane, std::vector<BaVec3d<double>> points);

    bool getShowLine() const { return m_show_line; }
    void setShowLine(bool show) { m_show_line = show; }
    bool getShowPlane() const { return m_show_plane; }
    void setShowPlane(bool show) { m_show_plane = show; }

protected:
    void extendBox(Box3d &box) const override;

private:
    std::optional<BaVec3d<double>> m_point;
    bool m_line_valid = false;
    BaVec3d<double> m_line_start, m_line_end;
    bool m_plane_valid = false;
    Plane3d m_plane;
    std::vector<BaVec3d<double>> m_plane_points;
    bool m_show_line = true;
    bool m_show_plane = true;
};

// ANGLE, ANGLE_MEASUREMENT or PMP_ANGLE_CHANGE: the angle at apex between two directions.
// Measured angles may be invalid and may show the two measured lines they came from.
class AngleMeasurement : public DrawnElement
{
public:
    AngleMeasurement(ElementCreator::Element_t type, const BaVec3d<double> &apex,
        const BaVec3d<double> &direction1, const BaVec3d<double> &direction2);

    const BaVec3d<double> &getApex() const { return m_apex; }
    const BaVec3d<double> &getDirection1() const { return m_direction1; }
    const BaVec3d<double> &getDirection2() const { return m_direction2; }
    // How long the legs are drawn, in model units.
    double getLegLength() const { return m_leg_length; }
    void setLegLength(double length) { m_leg_length = length; }
    // The angle in radians between the directions; 0 when either has no length.
    double getAngle() const;

    bool isMeasuredAngleValid() const { return m_valid; }
    void setMeasuredAngleValid(bool valid) { m_valid = valid; }
    // The measured lines (segments) the directions were taken from, each shown on request.
    const std::optional<std::pair<BaVec3d<double>, BaVec3d<double>>> &getLine(int index) const;
    void setLine(int index, const BaVec3d<double> &start, const BaVec3d<double> &end);

protected:
    void extendBox(Box3d &box) const override;

private:
    BaVec3d<double> m_apex, m_direction1, m_direction2;
    double m_leg_length = 1.0;
    bool m_valid = true;
    std::optional<std::pair<BaVec3d<double>, BaVec3d<double>>> m_lines[2];
};

// SIX_DOF_MEASUREMENT or SIX_DOF_TRACKING: a measured frame, three axes from an origin,
// drawn getDrawSize long.
class SixDofMeasurement : public DrawnElement
{
public:
    SixDofMeasurement(ElementCreator::Element_t type, const BaVec3d<double> &origin, const BaVec3d<double> &x,
        const BaVec3d<double> &y, const BaVec3d<double> &z, double drawSize);

    bool isDataValid() const { return m_valid; }
    void setDataValid(bool valid) { m_valid = valid; }
    const BaVec3d<double> &getOrigin() const { return m_origin; }
    // The axis 0 (x), 1 (y) or 2 (z), normalised as far as it can be.
    BaVec3d<double> getAxis(int index) const { return m_axes[index].normalized(); }
    double getDrawSize() const { return m_draw_size; }

protected:
    void extendBox(Box3d &box) const override;

private:
    BaVec3d<double> m_origin;
    BaVec3d<double> m_axes[3];
    double m_draw_size;
    bool m_valid = true;
};

} // namespace Vaq::CAD
