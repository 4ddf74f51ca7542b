// PmpElement: a feature of the measuring plan (PMP) other than its distances and angles: a
// nominal point to probe with its direction (surface, section, symmetry, trim, disc and
// segment points), or a nominal hole (circle, slot, rectangular hole, regular polygon) whose
// changes are measured. One class serves them all; each kind reads the part of the data it
// is drawn from, and values a kind may lack carry their own validity.
#pragma once

#include "gcad/host/base/vaq_shapes.h"
#include "gcad/host/cad/vaq_cad_drawn_element.h"

#include <optional>
#include <vector>

namespace Vaq::CAD {

class PmpElement : public DrawnElement
{
public:
    // A nominal slot or rectangular hole round the segment from first to second.
    struct Hole
    {
        BaVec3d<double> first, second, normal { 0.0, 0.0, 1.0 };
        double width = 0.0;
        double edgeRadius = 0.0; // rectangular holes only
    };

    // PMP_POINT_CHANGE, PMP_CIRCLE_CHANGE, PMP_SLOT_CHANGE, PMP_RECTANGLE_HOLE_CHANGE, the
    // surface, section, symmetry, trim, disc and segment point changes or
    // PMP_REGULAR_POLYHOLE_CHANGE.
    explicit PmpElement(ElementCreator::Element_t type);

    // The nominal point, the direction it is probed in and how long that direction is drawn.
    const BaVec3d<double> &getNominalPoint() const { return m_point; }
    const BaVec3d<double> &getDirection() const { return m_direction; }
    void setNominalPoint(const BaVec3d<double> &point, const BaVec3d<double> &direction);
    double getVectorLength() const { return m_vector_length; }
    void setVectorLength(double length) { m_vector_length = length; }
    // The point every point change supplies as its reference (its nominal point); false for
    // the holes.
    bool getReferencePoint(BaVec3d<double> *point) const;

    // Circle and regular polygon holes; the diameter may be invalid.
    const Circle3d &getNominalCircle() const { return m_circle; }
    void setNominalCircle(const Circle3d &circle) { m_circle = circle; }
    const RegularPolygon3d &getNominalRegularPolyhole() const { return m_polygon; }
    void setNominalRegularPolyhole(const RegularPolygon3d &polygon) { m_polygon = polygon; }
    bool isDiameterValid() const { return m_diameter_valid; }
    void setDiameterValid(bool valid) { m_diameter_valid = valid; }

    // Slots and rectangular holes, and which of their dimensions are measured.
    const Hole &getNominalHole() const { return m_hole; }
    void setNominalHole(const Hole &hole) { m_hole = hole; }
    bool isDirectionValid() const { return m_direction_valid; }
    bool isWidthValid() const { return m_width_valid; }
    bool isLengthValid() const { return m_length_valid; }
    void setValidDimensions(bool direction, bool width, bool length);
    // The hole's edge points: 0 and 1 across its width at the middle, 2 and 3 the ends of
    // its length.
    std::vector<BaVec3d<double>> getNominalEdgePoints() const;

    // A symmetry point: whether both elements it lies between still exist.
    bool areElementsValid() const { return m_elements_valid; }
    void setElementsValid(bool valid) { m_elements_valid = valid; }
    // A surface point measured relative to another element: the last point touched there,
    // while that measurement is active.
    const std::optional<BaVec3d<double>> &getLastTouchedPoint() const { return m_last_touched; }
    void setLastTouchedPoint(const std::optional<BaVec3d<double>> &point) { m_last_touched = point; }

    // Disc and segment points: the jaw's normal, the disc radius or segment length, the
    // clearance kept from the material, and the material offset when there is one.
    const BaVec3d<double> &getNormal() const { return m_normal; }
    double getSize() const { return m_size; }
    void setJaw(const BaVec3d<double> &normal, double size) { m_normal = normal, m_size = size; }
    double getClearance() const { return m_clearance; }
    void setClearance(double clearance) { m_clearance = clearance; }
    bool existsMaterialOffset() const { return m_material_offset.has_value(); }
    double getElementMaterialOffset() const { return m_material_offset.value_or(0.0); }
    void setMaterialOffset(const std::optional<double> &offset) { m_material_offset = offset; }

protected:
    void extendBox(Box3d &box) const override;

private:
    BaVec3d<double> m_point, m_direction { 0.0, 0.0, 1.0 }, m_normal { 0.0, 0.0, 1.0 };
    double m_vector_length = 10.0;
    double m_size = 0.0;
    Circle3d m_circle;
    RegularPolygon3d m_polygon;
    Hole m_hole;
    bool m_diameter_valid = true;
    bool m_direction_valid = true, m_width_valid = true, m_length_valid = true;
    bool m_elements_valid = true;
    std::optional<BaVec3d<double>> m_last_touched;
    double m_clearance = 0.0;
    std::optional<double> m_material_offset;
};

} // namespace Vaq::CAD
