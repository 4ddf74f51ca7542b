// Tessellation of the drawing routines' shapes: arcs by turning a start point about the normal
// in steps of about one pixel, surfaces as rings of a profile turned about an axis or as strips
// of one degree, figures from a few fixed corners. Each function costs time linear in the
// vertices it returns; the marker tables are built once, on first use.
#include "gcad/renderers/gcad_tessellation.h"

#include "gcad/host/base/vaq_line.h"
#include "gcad/host/base/vaq_prog_error.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace Vaq::GCAD::Tessellation {

BaVec3d<double> perpendicular(const BaVec3d<double> &v)
{
    const double ax = std::abs(v.x), ay = std::abs(v.y), az = std::abs(v.z);
    if (az <= ax && az <= ay)
        return { v.y, -v.x, 0.0 };
    if (ay <= ax)
        return { v.z, 0.0, -v.x };
    return { 0.0, v.z, -v.y };
}

bool setLength(BaVec3d<double> *v, double length)
{
    const double n = v->length();
    if (n <= 1e-50)
        return false;
    *v *= length / n;
    return true;
}

const std::array<BaVec3d<double>, 12> &markerVertices()
{
    static constexpr double PHI = 1.61803;
    static const std::array<BaVec3d<double>, 12> vertices = { {
        { 0, 1, PHI },
        { 0, -1, PHI },
        { 0, 1, -PHI },
        { 0, -1, -PHI },
        { PHI, 0, 1 },
        { PHI, 0, -1 },
        { -PHI, 0, 1 },
        { -PHI, 0, -1 },
        { 1, PHI, 0 },
        { 1, -PHI, 0 },
        { -1, PHI, 0 },
        { -1, -PHI, 0 },
    } };
    return vertices;
}

const std::array<std::array<int, 3>, 20> &markerTriangles()
{
    static const std::array<std::array<int, 3>, 20> triangles = { {
        { 0, 1, 4 },
        { 0, 4, 8 },
        { 0, 8, 10 },
        { 0, 10, 6 },
        { 0, 6, 1 },
        { 3, 2, 5 },
        { 3, 7, 2 },
        { 3, 11, 7 },
        { 3, 9, 11 },
        { 3, 5, 9 },
        { 1, 9, 4 },
        { 9, 5, 4 },
        { 4, 5, 8 },
        { 5, 2, 8 },
        { 8, 2, 10 },
        { 2, 7, 10 },
        { 10, 7, 6 },
        { 7, 11, 6 },
        { 6, 11, 1 },
        { 11, 9, 1 },
    } };
    return triangles;
}

std::array<BaVec3d<double>, 12> markerCorners(const BaVec3d<double> &centre, double size)
{
    std::array<BaVec3d<double>, 12> corners;
    for (std::size_t i = 0; i < corners.size(); ++i)
        corners[i] = centre + markerVertices()[i] * size;
    return corners;
}

double arcStep(double pixelLength, double radius, bool fixedPoints, unsigned count, const char *function)
{
    static constexpr double ONE_DEGREE = 0.017453292519943295;
    double step;
    if (fixedPoints) {
        if (count < 3)
            VAQ_PROG_ERROR(function, "invalid number of fixed points");
        step = 2.0 * M_PI / count;
    } else {
        // A radius below one pixel (or none) gives a quarter turn per segment.
        const double s = pixelLength / radius;
        step = std::asin(s < 1.0 ? std::max(s, -1.0) : 1.0);
    }
    return std::max(step, ONE_DEGREE);
}

std::vector<BaVec3d<double>> arcPoints(const BaVec3d<double> &centre, const BaVec3d<double> &normal,
    const BaVec3d<double> &start, double step, double sweep)
{
    sweep = std::isfinite(sweep) ? std::clamp(sweep, 0.0, 2.0 * M_PI) : 0.0;
    const unsigned count = unsigned(sweep / step + 0.5);
    std::vector<BaVec3d<double>> points;
    points.reserve(count + 1);
    for (unsigned i = 0; i < count; ++i)
        points.push_back(
            Transformation::computeTransformationRotateAxis(centre, normal, -(i * step)).transform(start));
    points.push_back(
        Transformation::computeTransformationRotateAxis(centre, normal, -sweep).transform(start));
    return points;
}

void Batch::addFace(std::initializer_list<BaVec3d<double>> corners)
{
    const BaVec3d<double> *c = corners.begin();
    const BaVec3d<double> normal = (c[1] - c[0]).cross(c[2] - c[0]);
    for (const BaVec3d<double> &corner : corners)
        add(corner, normal);
}

namespace {

constexpr double ARROW_ANGLE = 0.2617993877991494; // 15 degrees

// Unit vectors u, w square to the unit axis a with u x w = a: a circle about a runs
// counter-clockwise seen from a's tip as u cos t + w sin t.
void frame(const BaVec3d<double> &a, BaVec3d<double> *u, BaVec3d<double> *w)
{
    *u = perpendicular(a);
    setLength(u, 1.0);
    *w = a.cross(*u);
    setLength(w, 1.0);
}

BaVec3d<double> unit(BaVec3d<double> v)
{
    setLength(&v, 1.0);
    return v;
}

// The diamond u, w, -u, -w of the given half width around base, square to d.
std::array<BaVec3d<double>, 4> diamond(
    const BaVec3d<double> &base, const BaVec3d<double> &d, double halfWidth)
{
    BaVec3d<double> u = perpendicular(d);
    BaVec3d<double> w = d.cross(u);
    setLength(&u, halfWidth);
    setLength(&w, halfWidth);
    return { base + u, base + w, base - u, base - w };
}

} // namespace

Batch arrowHead(const BaVec3d<double> &tip, const BaVec3d<double> &towards, double length)
{
    BaVec3d<double> d = towards - tip;
    setLength(&d, length);
    const auto c = diamond(tip + d, d, length * std::sin(ARROW_ANGLE));
    Batch batch;
    for (int i = 0; i < 4; ++i)
        batch.addFace({ tip, c[(i + 1) % 4], c[i] });
    return batch;
}

Batch doubleArrowHead(const BaVec3d<double> &tip, const BaVec3d<double> &towards, double length)
{
    BaVec3d<double> d = towards - tip;
    setLength(&d, 2.0 * length / 3.0);
    const BaVec3d<double> base = tip + d;
    const auto c = diamond(base, d, 2.0 * length / 3.0 * std::sin(ARROW_ANGLE));
    const BaVec3d<double> end = base + d * 0.5;
    Batch batch;
    for (int i = 0; i < 4; ++i) {
        batch.addFace({ tip, c[(i + 1) % 4], c[i] });
        batch.addFace({ end, c[i], c[(i + 1) % 4] });
    }
    return batch;
}

Batch surfaceOfRevolution(const Profile &profile, unsigned n, const Transformation &transformation)
{
    Batch batch;
    const std::size_t m = profile.points.size();
    if (n == 0 || m < 2)
        return batch;
    batch.vertices.reserve((n + 1) * m);
    batch.normals.reserve((n + 1) * m);
    for (unsigned j = 0; j <= n; ++j) {
        const double angle = j * 2.0 * M_PI / n, c = std::cos(angle), s = std::sin(angle);
        for (std::size_t i = 0; i < m; ++i) {
            const BaVec2d<double> &p = profile.points[i], &q = profile.normals[i];
            batch.add(transformation.transform({ p.x * c, p.x * s, p.y }),
                unit(transformation.transformVector({ q.x * c, q.x * s, q.y })));
        }
    }
    batch.indices.reserve(std::size_t(n) * (m - 1) * 4);
    for (unsigned j = 0; j < n; ++j)
        for (std::size_t i = 0; i + 1 < m; ++i)
            for (std::size_t k : { j * m + i, j * m + i + 1, (j + 1) * m + i + 1, (j + 1) * m + i })
                batch.indices.push_back(unsigned(k));
    return batch;
}

Profile halfCircle(double radius, unsigned n)
{
    Profile profile;
    for (unsigned i = 0; i <= n; ++i) {
        const double angle = i * M_PI / n;
        profile.normals.emplace_back(std::sin(angle), std::cos(angle));
        profile.points.push_back(profile.normals.back() * radius);
    }
    return profile;
}

namespace {

// What every sphere of n steps shares: the profile's sines and cosines, the turn's cosines and
// sines (ring j at j 2 pi / n), and the unit sphere's normals and faces.
struct SphereTables
{
    std::vector<double> profileSin, profileCos, turnCos, turnSin;
    Batch unit; // normals and indices only
};

const SphereTables &sphereTables(unsigned n)
{
    thread_local std::map<unsigned, SphereTables> tables;
    auto [it, added] = tables.try_emplace(n);
    SphereTables &t = it->second;
    if (!added)
        return t;
    const Profile profile = halfCircle(1.0, n);
    for (const BaVec2d<double> &q : profile.normals) {
        t.profileSin.push_back(q.x);
        t.profileCos.push_back(q.y);
    }
    for (unsigned j = 0; j <= n; ++j) {
        const double angle = j * 2.0 * M_PI / n;
        t.turnCos.push_back(std::cos(angle));
        t.turnSin.push_back(std::sin(angle));
    }
    // The faces and normals do not depend on the radius, nor on a translation.
    t.unit = surfaceOfRevolution(profile, n, Transformation());
    t.unit.vertices.clear();
    return t;
}

} // namespace

Batch sphere(const BaVec3d<double> &centre, double radius, unsigned n)
{
    if (n == 0)
        return {};
    const SphereTables &t = sphereTables(n);
    Batch batch = t.unit;
    batch.vertices.reserve(batch.normals.size());
    for (unsigned j = 0; j <= n; ++j) {
        const double c = t.turnCos[j], s = t.turnSin[j];
        for (std::size_t i = 0; i < t.profileSin.size(); ++i) {
            // As halfCircle and the translation compute it: the profile point first, then turned.
            const double x = t.profileSin[i] * radius, y = t.profileCos[i] * radius;
            batch.vertices.emplace_back(x * c + centre.x, x * s + centre.y, y + centre.z);
        }
    }
    return batch;
}

Batch paraboloid(const Paraboloid3d &paraboloid, unsigned n)
{
    Batch batch;
    Transformation toModel;
    if (!paraboloid.isValid() || n < 3 || !paraboloid.getTransformation().getInverse(&toModel))
        return batch;
    const unsigned rings = std::max(2u, n / 2);
    for (unsigned k = 0; k <= rings; ++k)
        for (unsigned j = 0; j <= n; ++j) {
            BaVec3d<double> point, normal;
            paraboloid.compute(paraboloid.getRimRadius() * k / rings, j * 2.0 * M_PI / n, &point, &normal);
            batch.add(toModel.transform(point), unit(toModel.transformVector(normal)));
        }
    // Faces look out of the bowl, away from the focus.
    const auto at = [&](unsigned k, unsigned j) { return k * (n + 1) + j; };
    for (unsigned k = 0; k < rings; ++k)
        for (unsigned j = 0; j < n; ++j) {
            for (unsigned i : { at(k, j), at(k + 1, j + 1), at(k + 1, j) })
                batch.indices.push_back(i);
            if (k > 0) // the innermost ring meets at the vertex
                for (unsigned i : { at(k, j), at(k, j + 1), at(k + 1, j + 1) })
                    batch.indices.push_back(i);
        }
    return batch;
}

namespace {

// The directions of a full turn in one-degree steps about an axis with frame u, w: 361 of them,
// the last where the first was.
std::array<BaVec3d<double>, 361> oneDegreeTurn(const BaVec3d<double> &u, const BaVec3d<double> &w)
{
    // The cosines and sines of whole degrees, worked out once.
    static const std::array<std::array<double, 2>, 361> turn = [] {
        static constexpr double STEP = 0.017453292519943295;
        std::array<std::array<double, 2>, 361> t;
        for (int k = 0; k <= 360; ++k)
            t[std::size_t(k)] = { std::cos(k * STEP), std::sin(k * STEP) };
        return t;
    }();
    std::array<BaVec3d<double>, 361> directions;
    for (std::size_t k = 0; k <= 360; ++k)
        directions[k] = u * turn[k][0] + w * turn[k][1];
    return directions;
}

// 360 one-degree quads between two coaxial circles (radii r0 at b, r1 at t), facing out
// with normalAt(direction) and then facing in. Each side lists its 2 x 361 rim corners once.
template<typename NormalAt>
Batch tube(const BaVec3d<double> &b, double r0, const BaVec3d<double> &t, double r1, const NormalAt &normalAt)
{
    BaVec3d<double> u, w;
    frame(unit(t - b), &u, &w);
    const std::array<BaVec3d<double>, 361> radial = oneDegreeTurn(u, w);
    Batch batch;
    batch.vertices.reserve(4 * 361);
    batch.normals.reserve(4 * 361);
    batch.indices.reserve(2 * 360 * 4);
    for (bool outside : { true, false }) {
        // Corner 2k lies on the circle at b, 2k + 1 on the one at t, both in direction k.
        const unsigned first = unsigned(batch.vertices.size());
        for (const BaVec3d<double> &e : radial) {
            const BaVec3d<double> normal = normalAt(e) * (outside ? 1.0 : -1.0);
            batch.add(b + e * r0, normal);
            batch.add(t + e * r1, normal);
        }
        for (unsigned k = 0; k < 360; ++k) {
            const unsigned b0 = first + 2 * k, t0 = b0 + 1, b1 = b0 + 2, t1 = b0 + 3;
            if (outside)
                batch.indices.insert(batch.indices.end(), { b0, b1, t1, t0 });
            else
                batch.indices.insert(batch.indices.end(), { b0, t0, t1, b1 });
        }
    }
    return batch;
}

struct ConeEnds
{
    BaVec3d<double> small, large;
    double smallRadius, largeRadius;
};

ConeEnds orderedEnds(const Cone3d &cone)
{
    if (cone.getRadius1() <= cone.getRadius2())
        return { cone.getPoint1(), cone.getPoint2(), cone.getRadius1(), cone.getRadius2() };
    return { cone.getPoint2(), cone.getPoint1(), cone.getRadius2(), cone.getRadius1() };
}

} // namespace

Batch cylinder(const BaVec3d<double> &centre, const BaVec3d<double> &axis, double radius, double length)
{
    const BaVec3d<double> a = unit(axis) * (0.5 * length);
    return tube(centre - a, radius, centre + a, radius, [](const BaVec3d<double> &e) { return e; });
}

bool coneApex(const Cone3d &cone, BaVec3d<double> *apex)
{
    const ConeEnds ends = orderedEnds(cone);
    BaVec3d<double> side = perpendicular(ends.large - ends.small);
    if (!setLength(&side, 1.0))
        return false;
    Line3d first, second;
    if (!first.createFromPoints(ends.small + side * ends.smallRadius, ends.large + side * ends.largeRadius)
        || !second.createFromPoints(
            ends.small - side * ends.smallRadius, ends.large - side * ends.largeRadius))
        return false;
    const double size = (ends.large - ends.small).length() + ends.largeRadius;
    return first.intersect(second, apex, 1e-9 * std::max(1.0, size));
}

Batch coneSurface(const Cone3d &cone, const BaVec3d<double> &apex)
{
    const ConeEnds ends = orderedEnds(cone);
    // Square to the side line through the rim point in direction e, in the plane of the axis.
    const auto normalAt = [&](const BaVec3d<double> &e) {
        const BaVec3d<double> along = unit(ends.large + e * ends.largeRadius - apex);
        return unit(e - along * e.dot(along));
    };
    return tube(ends.small, ends.smallRadius, ends.large, ends.largeRadius, normalAt);
}

std::vector<BaVec3d<double>> coneRims(const Cone3d &cone)
{
    BaVec3d<double> u, w;
    frame(unit(cone.getPoint2() - cone.getPoint1()), &u, &w);
    const std::array<BaVec3d<double>, 361> radial = oneDegreeTurn(u, w);
    std::vector<BaVec3d<double>> lines;
    lines.reserve(4 * 360);
    for (std::size_t k = 0; k < 360; ++k) {
        const BaVec3d<double> &e0 = radial[k], &e1 = radial[k + 1];
        lines.push_back(cone.getPoint1() + e0 * cone.getRadius1());
        lines.push_back(cone.getPoint1() + e1 * cone.getRadius1());
        lines.push_back(cone.getPoint2() + e0 * cone.getRadius2());
        lines.push_back(cone.getPoint2() + e1 * cone.getRadius2());
    }
    return lines;
}

std::vector<BaVec3d<double>> coneSides(const Cone3d &cone, const BaVec3d<double> &viewDirection)
{
    const BaVec3d<double> axis = cone.getPoint2() - cone.getPoint1();
    BaVec3d<double> side = axis.cross(viewDirection);
    if (!setLength(&side, 1.0)) { // seen along the axis: any pair of opposite lines
        side = perpendicular(axis);
        setLength(&side, 1.0);
    }
    const BaVec3d<double> &p1 = cone.getPoint1(), &p2 = cone.getPoint2();
    const double r1 = cone.getRadius1(), r2 = cone.getRadius2();
    return { p1 + side * r1, p2 + side * r2, p1 - side * r1, p2 - side * r2 };
}

RoundedRectangle roundedRectangle(const BaVec3d<double> &first, const BaVec3d<double> &second,
    const BaVec3d<double> &normal, double width, double radius)
{
    RoundedRectangle figure;
    BaVec3d<double> d = second - first;
    if (!setLength(&d, 1.0)) // a round hole: any direction in the plane
        d = unit(perpendicular(normal));
    // Turning s a quarter clockwise about the normal gives d, and d gives -s.
    const BaVec3d<double> s = unit(normal.cross(d));
    const double half = 0.5 * width;
    figure.radius = std::clamp(radius, 0.0, std::max(half, 0.0));
    const double inset = half - figure.radius;
    const std::array<BaVec3d<double>, 4> turns = { s, d, -s, -d };
    const std::array<BaVec3d<double>, 4> ends = { second, second, first, first };
    std::array<BaVec3d<double>, 8> octagon;
    for (int k = 0; k < 4; ++k) {
        const BaVec3d<double> &a = turns[k], &b = turns[(k + 1) % 4];
        figure.centres[k] = ends[k] + (a + b) * inset;
        figure.starts[k] = a * figure.radius;
        octagon[2 * k] = figure.centres[k] + a * figure.radius;
        octagon[2 * k + 1] = figure.centres[k] + b * figure.radius;
    }
    for (int k : { 1, 3, 5 })
        figure.quads.insert(figure.quads.end(), { octagon[0], octagon[k], octagon[k + 1], octagon[k + 2] });
    for (int k = 0; k < 4; ++k) {
        const BaVec3d<double> &from = octagon[2 * k + 1], &to = octagon[(2 * k + 2) % 8];
        if (from != to) // a slot has no straight ends
            figure.sides.insert(figure.sides.end(), { from, to });
    }
    figure.middle = (first + second) * 0.5;
    figure.direction = d;
    return figure;
}

AxisArrow axisArrow(bool thin, const BaVec3d<double> &origin, const BaVec3d<double> &vector)
{
    static constexpr double SEGMENT = 0.5235987755982988; // 30 degrees
    AxisArrow arrow;
    const double scale = 2.0 * vector.length() * (thin ? 0.5 : 1.0);
    const double headLength = 0.15 * scale, shaftRadius = 0.015 * scale, headRadius = 0.035 * scale;
    BaVec3d<double> direction = vector;
    if (!setLength(&direction, 1.0))
        return arrow;
    BaVec3d<double> u, w;
    frame(direction, &u, &w);
    const BaVec3d<double> tip = origin + vector, base = tip - direction * headLength;
    for (int k = 0; k < 12; ++k) {
        const BaVec3d<double> e0 = u * std::cos(k * SEGMENT) + w * std::sin(k * SEGMENT);
        const BaVec3d<double> e1 = u * std::cos((k + 1) * SEGMENT) + w * std::sin((k + 1) * SEGMENT);
        arrow.head.addFace({ tip, base + e0 * headRadius, base + e1 * headRadius });
        arrow.head.add(base, -direction);
        arrow.head.add(base + e1 * headRadius, -direction);
        arrow.head.add(base + e0 * headRadius, -direction);
        arrow.shaft.add(origin + e0 * shaftRadius, e0);
        arrow.shaft.add(origin + e1 * shaftRadius, e1);
        arrow.shaft.add(base + e1 * shaftRadius, e1);
        arrow.shaft.add(base + e0 * shaftRadius, e0);
    }
    return arrow;
}

Jaw caliperJaw(const BaVec3d<double> &position, const BaVec3d<double> &direction,
    const BaVec3d<double> &normal, double length, double width)
{
    static constexpr double BEVEL = 1.0; // tan(pi / 4): the flanks fall back as far as they reach out
    const BaVec3d<double> d = unit(direction);
    const BaVec3d<double> n = unit(normal - d * normal.dot(d));
    const BaVec3d<double> c = d.cross(n);
    const double half = 0.5 * width;
    const BaVec3d<double> along = d * (0.5 * length), back = n * (-half * BEVEL);
    const BaVec3d<double> e0 = position - along, e1 = position + along;
    const BaVec3d<double> a0 = e0 + back + c * half, a1 = e1 + back + c * half;
    const BaVec3d<double> b0 = e0 + back - c * half, b1 = e1 + back - c * half;
    Jaw jaw;
    for (const std::array<BaVec3d<double>, 3> &t : std::initializer_list<std::array<BaVec3d<double>, 3>> {
             { e0, a0, a1 }, { e0, a1, e1 }, // the flank towards c
             { e0, b1, b0 }, { e0, e1, b1 }, // the flank away from c
             { a0, b0, b1 }, { a0, b1, a1 }, // the back
             { e0, b0, a0 }, { e1, a1, b1 }, // the ends
         })
        jaw.faces.addFace({ t[0], t[1], t[2] });
    jaw.edges = { e0, e1, a0, a1, b0, b1, e0, a0, a0, b0, b0, e0, e1, a1, a1, b1, b1, e1 };
    return jaw;
}

} // namespace Vaq::GCAD::Tessellation
