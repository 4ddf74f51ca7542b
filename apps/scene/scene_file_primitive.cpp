#include "apps/scene/scene_file_primitive.h"

#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/cad/vaq_cad_primitive_adapter.h"
#include "gcad/host/cad/vaq_cad_primitive_circle.h"
#include "gcad/host/cad/vaq_cad_primitive_line.h"
#include "gcad/host/cad/vaq_cad_primitive_plane.h"
#include "gcad/host/cad/vaq_cad_primitive_point.h"
#include "gcad/host/cad/vaq_cad_primitive_slot.h"
#include "gcad/host/cad/vaq_cad_primitive_solid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace Gcad::Scene {

namespace {

using Vaq::BaVec3d;
using Vaq::CAD::Element;
using Vaq::CAD::ElementCreator;
using E = ElementCreator;
using Vec = BaVec3d<double>;

// The values of one primitive's keys, read and checked in the order the builder asks.
class Keys
{
public:
    Keys(const JsonReader &reader, const QJsonObject &element, const QString &where)
        : m_reader(reader)
        , m_element(element)
        , m_where(where)
    {
    }

    Vec vector(const char *key) const { return m_reader.vector<double>(value(key), at(key)); }
    // A length or radius: zero is allowed (the element is then left out when drawn), less is not.
    double length(const char *key) const
    {
        return m_reader.number(value(key), at(key), 0.0, std::numeric_limits<double>::max());
    }
    double length(const char *key, double otherwise) const
    {
        return m_element.contains(QLatin1String(key)) ? length(key) : otherwise;
    }
    unsigned count(const char *key, unsigned min, unsigned max) const
    {
        return unsigned(m_reader.integer(value(key), at(key), min, max));
    }
    std::vector<Vec> vectors(const char *key) const
    {
        return m_reader.list(m_element, m_where, QLatin1String(key),
            [this](const QJsonValue &v, const QString &where) { return m_reader.vector<double>(v, where); });
    }
    // One of names (the first is the default), as its index.
    int choice(const char *key, const QStringList &names) const
    {
        if (!m_element.contains(QLatin1String(key)))
            return 0;
        const QString name = m_reader.text(m_element[QLatin1String(key)], at(key));
        const int index = int(names.indexOf(name));
        if (index < 0)
            m_reader.fail(
                at(key), QStringLiteral("unknown %1 '%2' (%3)").arg(key, name.left(40), names.join(", ")));
        return index;
    }

private:
    QJsonValue value(const char *key) const
    {
        if (!m_element.contains(QLatin1String(key)))
            m_reader.fail(m_where, QStringLiteral("no \"%1\"").arg(QLatin1String(key)));
        return m_element[QLatin1String(key)];
    }
    QString at(const char *key) const { return m_where + '.' + QLatin1String(key); }

    const JsonReader &m_reader;
    const QJsonObject &m_element;
    const QString &m_where;
};

using Create = std::function<std::unique_ptr<Element>()>;

// The element type of a kind's "variant": its plain type first, then the named variants.
struct Variants
{
    QStringList names;
    std::vector<E::Element_t> types;
};

// A kind: its keys, its variants and how its elements are built.
struct Kind
{
    const char *name;
    QStringList keys;
    Variants variants;
    Create (*read)(const Keys &keys, E::Element_t type);
};

// The paraboloid's frame: vertex at the origin, opening along +z.
Vaq::Transformation paraboloidFrame(const Vec &vertex, const Vec &axis)
{
    const Vec a = axis.normalized();
    const Vec z(0, 0, 1);
    Vec turn = a.cross(z);
    double angle = std::acos(std::clamp(a.dot(z), -1.0, 1.0));
    if (turn.length() < 1e-12)
        turn = Vec(1, 0, 0); // along z there is nothing to turn, against z half a turn about x
    return Vaq::Transformation::rotation(turn, angle) * Vaq::Transformation::translation(-vertex);
}

Create readPoint(const Keys &k, E::Element_t type)
{
    const Vec at = k.vector("at");
    return [=] { return std::make_unique<Vaq::CAD::PointBase>(at, type); };
}

Create readLine(const Keys &k, E::Element_t type)
{
    using Vaq::CAD::LineBase;
    const Vec from = k.vector("from"), to = k.vector("to");
    const QStringList symbols = { "none", "arrow", "point" };
    const auto start = LineBase::LineSymbol_t(k.choice("startSymbol", symbols));
    const auto end = LineBase::LineSymbol_t(k.choice("endSymbol", symbols));
    return [=] {
        auto line = std::make_unique<LineBase>(from, to, type);
        line->setSymbols(start, end);
        return line;
    };
}

Create readSegment(const Keys &k, E::Element_t type)
{
    const Vec from = k.vector("from"), to = k.vector("to");
    return [=] { return std::make_unique<Vaq::CAD::LineBase>(from, to, type); };
}

Create readCircle(const Keys &k, E::Element_t type)
{
    const Vaq::Circle3d circle(k.vector("center"), k.vector("normal"), k.length("radius"));
    return [=] { return std::make_unique<Vaq::CAD::CircleBase>(circle, type); };
}

Create readDisc(const Keys &k, E::Element_t)
{
    const Vaq::Disc3d disc(k.vector("center"), k.vector("normal"), k.length("radius"));
    return [=] { return std::make_unique<Vaq::CAD::Disc>(disc); };
}

Create readPolygonHole(const Keys &k, E::Element_t)
{
    const Vec center = k.vector("center"), normal = k.vector("normal"), corner = k.vector("corner");
    const unsigned corners = k.count("corners", 3, 360);
    return [=] { return std::make_unique<Vaq::CAD::RegularPolyholeBase>(center, normal, corner, corners); };
}

Create readPlane(const Keys &k, E::Element_t type)
{
    const Vec center = k.vector("center"), normal = k.vector("normal");
    const double size = k.length("size");
    return [=] { return std::make_unique<Vaq::CAD::PlaneBase>(center, normal, size, type); };
}

Create readLimitedPlane(const Keys &k, E::Element_t)
{
    const std::vector<Vec> outline = k.vectors("outline");
    return [=] { return std::make_unique<Vaq::CAD::LimitedPlane>(outline); };
}

Create readSlot(const Keys &k, E::Element_t type)
{
    const Vec from = k.vector("from"), to = k.vector("to"), normal = k.vector("normal");
    const double width = k.length("width");
    return [=] { return std::make_unique<Vaq::CAD::LongholeBase>(from, to, normal, width, 0.0, type); };
}

Create readRoundedRectangle(const Keys &k, E::Element_t type)
{
    const Vec from = k.vector("from"), to = k.vector("to"), normal = k.vector("normal");
    const double width = k.length("width"), edgeRadius = k.length("edgeRadius");
    return
        [=] { return std::make_unique<Vaq::CAD::LongholeBase>(from, to, normal, width, edgeRadius, type); };
}

Create readSphere(const Keys &k, E::Element_t type)
{
    const Vaq::Sphere3d sphere(k.vector("center"), k.length("radius"));
    return [=] { return std::make_unique<Vaq::CAD::SphereBase>(sphere, type); };
}

Create readCylinder(const Keys &k, E::Element_t type)
{
    const Vaq::Cylinder3d cylinder(
        k.vector("center"), k.vector("axis"), k.length("radius"), k.length("length"));
    return [=] { return std::make_unique<Vaq::CAD::CylinderBase>(cylinder, type); };
}

Create readCone(const Keys &k, E::Element_t type)
{
    const Vaq::Cone3d cone(k.vector("from"), k.length("fromRadius"), k.vector("to"), k.length("toRadius"));
    return [=] { return std::make_unique<Vaq::CAD::ConeBase>(cone, type); };
}

Create readParaboloid(const Keys &k, E::Element_t)
{
    const Vaq::Transformation frame = paraboloidFrame(k.vector("vertex"), k.vector("axis"));
    const Vaq::Paraboloid3d paraboloid(frame, k.length("focalLength"), k.length("height"));
    return [=] { return std::make_unique<Vaq::CAD::Paraboloid>(paraboloid); };
}

Create readLabelMarker(const Keys &k, E::Element_t)
{
    const Vec at = k.vector("at");
    return [=] { return std::make_unique<Vaq::CAD::Label>(at); };
}

Create readAdapterEdge(const Keys &k, E::Element_t)
{
    const Vec at = k.vector("at"), direction = k.vector("direction"), normal = k.vector("normal");
    const double length = k.length("length"), offset = k.length("offset", 0.0);
    return [=] { return std::make_unique<Vaq::CAD::AdapterEdge>(at, direction, normal, length, offset); };
}

Create readAdapterPlane(const Keys &k, E::Element_t)
{
    const Vec center = k.vector("center"), normal = k.vector("normal"), direction = k.vector("direction");
    const double length = k.length("length"), width = k.length("width");
    return [=] { return std::make_unique<Vaq::CAD::AdapterPlane>(center, normal, direction, length, width); };
}

Create readAdapterCylinder(const Keys &k, E::Element_t)
{
    const Vaq::Cylinder3d pin(k.vector("center"), k.vector("axis"), k.length("radius"), k.length("length"));
    return [=] { return std::make_unique<Vaq::CAD::AdapterCylinder2>(pin); };
}

Create readAdapterSphere(const Keys &k, E::Element_t)
{
    const Vaq::Sphere3d ball(k.vector("center"), k.length("radius"));
    const Vec direction = k.vector("direction");
    const double standLength = k.length("standLength");
    return [=] { return std::make_unique<Vaq::CAD::AdapterSphere2>(ball, direction, standLength); };
}

Variants nominal(E::Element_t measured, E::Element_t nominal)
{
    return { { "measured", "nominal" }, { measured, nominal } };
}

const std::vector<Kind> &kinds()
{
    static const std::vector<Kind> KINDS = {
        { "point", { "at", "variant" },
            { { "measured", "reference", "fixture", "target", "nominal" },
                { E::POINT, E::REFERENCE_POINT, E::FIXTURE_POINT, E::TARGET_POINT, E::NOMINAL_POINT } },
            readPoint },
        { "line", { "from", "to", "startSymbol", "endSymbol" }, { { "measured" }, { E::LINE } }, readLine },
        { "segment", { "from", "to", "variant" }, nominal(E::LINE_SEGMENT, E::NOMINAL_LINE_SEGMENT),
            readSegment },
        { "circle", { "center", "normal", "radius", "variant" }, nominal(E::CIRCLE, E::NOMINAL_CIRCLE),
            readCircle },
        { "disc", { "center", "normal", "radius" }, { { "measured" }, { E::DISC } }, readDisc },
        { "polygonHole", { "center", "normal", "corner", "corners" },
            { { "measured" }, { E::REGULAR_POLYHOLE } }, readPolygonHole },
        { "plane", { "center", "normal", "size", "variant" }, nominal(E::PLANE, E::NOMINAL_PLANE),
            readPlane },
        { "limitedPlane", { "outline" }, { { "measured" }, { E::LIMITED_PLANE } }, readLimitedPlane },
        { "slot", { "from", "to", "normal", "width", "variant" }, nominal(E::SLOT, E::NOMINAL_SLOT),
            readSlot },
        { "roundedRectangle", { "from", "to", "normal", "width", "edgeRadius", "variant" },
            nominal(E::ROUNDED_RECTANGLE, E::NOMINAL_ROUNDED_RECTANGLE), readRoundedRectangle },
        { "sphere", { "center", "radius", "variant" },
            { { "measured", "nominal", "reference", "toolingBall" },
                { E::SPHERE, E::NOMINAL_SPHERE, E::REFERENCE_SPHERE, E::TOOLING_BALL } },
            readSphere },
        { "cylinder", { "center", "axis", "radius", "length", "variant" },
            { { "measured", "nominal", "pin" }, { E::CYLINDER, E::NOMINAL_CYLINDER, E::PIN } },
            readCylinder },
        { "cone", { "from", "to", "fromRadius", "toRadius", "variant" }, nominal(E::CONE, E::NOMINAL_CONE),
            readCone },
        { "paraboloid", { "vertex", "axis", "focalLength", "height" }, { { "measured" }, { E::PARABOLOID } },
            readParaboloid },
        { "labelMarker", { "at" }, { { "measured" }, { E::LABEL_MARKER } }, readLabelMarker },
        { "adapterEdge", { "at", "direction", "normal", "length", "offset" },
            { { "measured" }, { E::ADAPTER_EDGE } }, readAdapterEdge },
        { "adapterPlane", { "center", "normal", "direction", "length", "width" },
            { { "measured" }, { E::ADAPTER_PLANE } }, readAdapterPlane },
        { "adapterCylinder", { "center", "axis", "radius", "length" },
            { { "measured" }, { E::ADAPTER_CYLINDER } }, readAdapterCylinder },
        { "adapterSphere", { "center", "radius", "direction", "standLength" },
            { { "measured" }, { E::ADAPTER_SPHERE } }, readAdapterSphere },
    };
    return KINDS;
}

const Kind *findKind(const QString &name)
{
    for (const Kind &kind : kinds())
        if (name == QLatin1String(kind.name))
            return &kind;
    return nullptr;
}

} // namespace

bool isPrimitiveKind(const QString &kind)
{
    return findKind(kind) != nullptr;
}

QStringList primitiveKeys(const QString &kind)
{
    const Kind *found = findKind(kind);
    return found ? found->keys : QStringList();
}

QString primitiveKinds()
{
    QStringList names;
    for (const Kind &kind : kinds())
        names << QLatin1String(kind.name);
    return names.join(", ");
}

PrimitiveDescription readPrimitive(
    const JsonReader &reader, const QJsonObject &element, const QString &kind, const QString &where)
{
    const Kind &found = *findKind(kind);
    const Keys keys(reader, element, where);
    const int variant = found.variants.names.size() > 1 ? keys.choice("variant", found.variants.names) : 0;
    return { kind, found.read(keys, found.variants.types[std::size_t(variant)]) };
}

} // namespace Gcad::Scene
