// The remaining drawn kinds: scale bars, photogrammetry cameras with their image rays,
// poly-surfaces (a surface given as polygons), labels placed in the scene, cutting edges and
// coordinate systems. Each is a handful of plain values.
#pragma once

#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/cad/vaq_cad_drawn_element.h"

#include <array>
#include <vector>

namespace Vaq::CAD {

// SCALE_BAR: a bar of known length between two points.
class ScaleBar : public DrawnElement
{
public:
    ScaleBar(const BaVec3d<double> &p0, const BaVec3d<double> &p1);
    const BaVec3d<double> &getPoint(int index) const { return index == 0 ? m_points[0] : m_points[1]; }

protected:
    void extendBox(Box3d &box) const override;

private:
    BaVec3d<double> m_points[2];
};

// CAMERA: a camera at its projection centre, turned by three angles (radians about x, then
// y, then z), the object points it saw and the rays through the corners of its image, both in
// camera coordinates (looking along -z). The mark type chooses how its rays are coloured.
class Camera : public DrawnElement
{
public:
    Camera(const BaVec3d<double> &prjCenter, const BaVec3d<double> &angles);

    const BaVec3d<double> &getPrjCenter() const { return m_prj_center; }
    const BaVec3d<double> &getAngles() const { return m_angles; }
    // Camera into model coordinates.
    Transformation getTransformation() const;
    int getMarkType() const { return m_mark_type; }
    void setMarkType(int type) { m_mark_type = type; }
    const std::vector<BaVec3d<double>> &getObjectPoints() const { return m_object_points; }
    void setObjectPoints(std::vector<BaVec3d<double>> points) { m_object_points = std::move(points); }
    const std::vector<BaVec3d<double>> &getRays() const { return m_rays; }
    void setRays(std::vector<BaVec3d<double>> rays) { m_rays = std::move(rays); }
    // How far the image plane is drawn from the centre: the mean distance of the object points
    // (1 without any).
    double getAvgPointDistance() const;

    // What is shown: the body, the lines to the object points, the image rays.
    bool showBody = true;
    bool showObjectPoints = false;
    bool showImageRays = false;
    // Opacity of the image plane, 0 to 1.
    double imageAlpha = 0.3;

protected:
    void extendBox(Box3d &box) const override;

private:
    BaVec3d<double> m_prj_center, m_angles;
    int m_mark_type = 0;
    std::vector<BaVec3d<double>> m_object_points;
    std::vector<BaVec3d<double>> m_rays;
};

// POLY_SURFACE: convex polygons; tesselate fans them into triangles.
class PolySurface : public DrawnElement
{
public:
    explicit PolySurface(std::vector<std::vector<BaVec3d<double>>> polygons);

    struct Triangle
    {
        std::array<unsigned, 3> corners;
        const unsigned &getP1() const { return corners[0]; }
        const unsigned &getP2() const { return corners[1]; }
        const unsigned &getP3() const { return corners[2]; }
    };
    // Builds the triangles, their normals (unit, by the corners' winding) and the vertex list.
    void tesselate();
    const std::vector<BaVec3d<double>> &getVertices() const { return m_vertices; }
    const std::vector<Triangle> &getTriangles() const { return m_triangles; }
    const std::vector<BaVec3d<float>> &getTriangleNormals() const { return m_normals; }

protected:
    void extendBox(Box3d &box) const override;

private:
    std::vector<std::vector<BaVec3d<double>>> m_polygons;
    std::vector<BaVec3d<double>> m_vertices;
    std::vector<Triangle> m_triangles;
    std::vector<BaVec3d<float>> m_normals;
};

// LABEL, LABEL_POINT, LABEL_DEVIATION, LABEL_NOTE or LABEL_MEASUREMENT: a label of its own at
// a point of the scene. Its text is the element's label; the view draws only an invisible
// marker at the point, so that the label can be picked there.
class LabelPoint : public DrawnElement
{
public:
    LabelPoint(ElementCreator::Element_t type, const BaVec3d<double> &point);
    const BaVec3d<double> &getElementPoint() const { return m_point; }

protected:
    void extendBox(Box3d &box) const override;

private:
    BaVec3d<double> m_point;
};

// CUTTING_EDGE: a knife edge along direction through position, its back against normal.
class CuttingEdge : public DrawnElement
{
public:
    CuttingEdge(const BaVec3d<double> &position, const BaVec3d<double> &direction,
        const BaVec3d<double> &normal, double length, double width);

    const BaVec3d<double> &getPosition() const { return m_position; }
    const BaVec3d<double> &getDirection() const { return m_direction; }
    const BaVec3d<double> &getNormal() const { return m_normal; }
    double getLength() const { return m_length; }
    double getWidth() const { return m_width; }

protected:
    void extendBox(Box3d &box) const override;

private:
    BaVec3d<double> m_position, m_direction, m_normal;
    double m_length, m_width;
};

// COORDINATE_SYSTEM: an origin and three axes, each as long as it is drawn.
class CoordSystem : public DrawnElement
{
public:
    CoordSystem(const BaVec3d<double> &origin, const BaVec3d<double> &x, const BaVec3d<double> &y,
        const BaVec3d<double> &z);
    const BaVec3d<double> &getOrigin() const { return m_origin; }
    const BaVec3d<double> &getAxis(int index) const { return m_axes[index]; }

protected:
    void extendBox(Box3d &box) const override;

private:
    BaVec3d<double> m_origin;
    BaVec3d<double> m_axes[3];
};

} // namespace Vaq::CAD
