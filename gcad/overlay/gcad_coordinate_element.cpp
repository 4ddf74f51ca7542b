// The coordinate system's parts and the hit test that tells which of them lies under the mouse:
// each part is projected into the window and tested in 2-D (a point within a radius, a line
// within a tolerance that grows with its projected length, a square by its projected corners);
// among the hits the one nearest the viewer wins. Cost O(parts), a handful per view.
#include "gcad/overlay/gcad_coordinate_element.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vaq::GCAD {

using CAD::ElementCreator;

CoordinateElement::CoordinateElement(
    const QString &viewName, const BaVec3d<double> &a, const BaVec3d<double> &b)
    : CAD::Element(ElementCreator::LINE, viewName)
{
    m_plane.reference = a;
    m_plane.firstDirection = b - a;
    setElementTemporarily(true);
}

CoordinateElement::CoordinateElement(const QString &viewName, const LimitedPlane3d &plane)
    : CAD::Element(ElementCreator::LIMITED_PLANE, viewName)
    , m_plane(plane)
{
    setElementTemporarily(true);
}

CoordinateElement::CoordinateElement(const QString &viewName, const BaVec3d<double> &point)
    : CAD::Element(ElementCreator::POINT, viewName)
{
    m_plane.reference = point;
    setElementTemporarily(true);
}

bool CoordinateElement::getLine(BaVec3d<double> *a, BaVec3d<double> *b) const
{
    if (getType() != ElementCreator::LINE)
        return false;
    *a = m_plane.reference;
    *b = m_plane.reference + m_plane.firstDirection;
    return true;
}

bool CoordinateElement::getLimitedPlane(LimitedPlane3d *plane) const
{
    if (getType() != ElementCreator::LIMITED_PLANE)
        return false;
    *plane = m_plane;
    return true;
}

bool CoordinateElement::getPoint(BaVec3d<double> *point) const
{
    if (getType() != ElementCreator::POINT)
        return false;
    *point = m_plane.reference;
    return true;
}

namespace {

// Window depth grows away from the viewer; nearness grows towards it.
double nearness(const BaVec3d<double> &window)
{
    return -window.z;
}

// Whether p lies inside the convex quadrilateral (either orientation). A quadrilateral seen
// edge-on covers no pixel.
bool insideQuad(const std::array<BaVec3d<double>, 4> &quad, const BaVec2d<double> &p)
{
    const double area = (quad[2].x - quad[0].x) * (quad[3].y - quad[1].y)
        - (quad[3].x - quad[1].x) * (quad[2].y - quad[0].y);
    if (std::abs(area) < 1.0)
        return false;
    int positive = 0, negative = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const BaVec3d<double> &a = quad[i], &b = quad[(i + 1) % 4];
        const double side = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        positive += side > 0.0;
        negative += side < 0.0;
    }
    return positive == 0 || negative == 0;
}

} // namespace

const CoordinateElement *findCoordinateElementAt(
    const std::vector<CAD::Element *> &elements, const Transformation &toWindow, const BaVec2d<double> &mouse)
{
    const CoordinateElement *best = nullptr;
    double bestNearness = std::numeric_limits<double>::lowest();
    bool pointHit = false;
    for (const CAD::Element *element : elements) {
        const auto *part = dynamic_cast<const CoordinateElement *>(element);
        if (!part)
            continue;
        LimitedPlane3d plane;
        BaVec3d<double> a, b;
        if (part->getLimitedPlane(&plane)) {
            std::array<BaVec3d<double>, 4> quad = plane.getCorners();
            double sum = 0.0;
            for (BaVec3d<double> &corner : quad) {
                corner = toWindow.transform(corner);
                sum += nearness(corner);
            }
            if (insideQuad(quad, mouse) && sum / 4.0 >= bestNearness) {
                best = part;
                bestNearness = sum / 4.0;
            }
        } else if (part->getPoint(&a)) {
            const BaVec3d<double> w = toWindow.transform(a);
            const double distance = std::round(std::hypot(w.x - mouse.x, w.y - mouse.y));
            if (distance < COORDINATE_POINT_RADIUS && nearness(w) >= bestNearness) {
                best = part;
                bestNearness = nearness(w);
                pointHit = true;
            }
        } else if (!pointHit && part->getLine(&a, &b)) {
            const BaVec3d<double> wa = toWindow.transform(a), wb = toWindow.transform(b);
            const BaVec2d<double> d(wb.x - wa.x, wb.y - wa.y);
            const double length = d.length();
            const double tolerance
                = COORDINATE_LINE_TOLERANCE + std::round(COORDINATE_LINE_TOLERANCE_PER_LENGTH * length);
            if (mouse.x < std::min(wa.x, wb.x) - tolerance || mouse.x > std::max(wa.x, wb.x) + tolerance
                || mouse.y < std::min(wa.y, wb.y) - tolerance || mouse.y > std::max(wa.y, wb.y) + tolerance)
                continue;
            const BaVec2d<double> m(mouse.x - wa.x, mouse.y - wa.y);
            double t = 0.0;
            double distance = m.length();
            if (length > 0.0) {
                t = std::clamp(m.dot(d) / (length * length), 0.0, 1.0);
                distance = std::abs(d.x * m.y - d.y * m.x) / length;
            }
            const double lineNearness = nearness(wa) + t * (nearness(wb) - nearness(wa));
            if (distance <= tolerance && lineNearness >= bestNearness) {
                best = part;
                bestNearness = lineNearness;
            }
        }
    }
    return best;
}

} // namespace Vaq::GCAD
