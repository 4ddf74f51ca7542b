#include "gcad/host/gl/vaq_gl_view_creator.h"

#include "gcad/host/gl/vaq_gl_render_callback.h"
#include "gcad/host/gl/vaq_gl_render_object.h"

#include <cmath>

namespace Vaq::GL {

namespace {

struct DirectionEntry
{
    const char *name;
    int x, y, z; // the side the viewer stands on
};

// Indexed by ViewDirection_t.
constexpr DirectionEntry _directions[] = {
    { "x+", 1, 0, 0 },
    { "x-", -1, 0, 0 },
    { "y+", 0, 1, 0 },
    { "y-", 0, -1, 0 },
    { "z+", 0, 0, 1 },
    { "z-", 0, 0, -1 },
    { "x+y+z+", 1, 1, 1 },
    { "x-y+z+", -1, 1, 1 },
    { "x+y-z+", 1, -1, 1 },
    { "x+y+z-", 1, 1, -1 },
    { "x-y-z+", -1, -1, 1 },
    { "x-y+z-", -1, 1, -1 },
    { "x+y-z-", 1, -1, -1 },
    { "x-y-z-", -1, -1, -1 },
};
constexpr int _direction_count = int(sizeof(_directions) / sizeof(_directions[0]));

bool isDirection(int value)
{
    return value >= 0 && value < _direction_count;
}

} // namespace

bool EditorInterface::claimsPosition(int, int) const
{
    return false;
}

ViewCreator::ViewCreator(RenderCallback *callback, EditorInterface *editor)
    : m_callback(callback)
    , m_editor(editor)
{
}

ViewCreator::~ViewCreator() = default;

ViewCreator::ViewDirection_t ViewCreator::getMainViewDirection() const
{
    if (!m_callback || !m_callback->getRenderObject())
        return VD_NONE;
    const BaVec3d<double> looking = m_callback->getRenderObject()->getViewDirection();
    for (int i = 0; i < _direction_count; ++i) {
        if ((looking - getViewDirectionVector(ViewDirection_t(i))).length() < 1e-6)
            return ViewDirection_t(i);
    }
    return VD_NONE;
}

void ViewCreator::setHeading(const QString &text, int size, const Color &color)
{
    m_heading = text;
    m_heading_size = size;
    m_heading_color = color;
}

void ViewCreator::setBackgroundColor(const Color &color)
{
    m_background = color;
    if (m_callback && m_callback->getRenderObject())
        m_callback->getRenderObject()->setBackgroundColor(color);
}

ViewCreator::ViewDirection_t ViewCreator::getViewForName(const QString &name, BaVec3d<double> *rotation)
{
    const QString key = name.trimmed().toLower();
    ViewDirection_t found = VD_NONE;
    if (key == QLatin1String("iso")) {
        found = VD_XP_YP_ZP;
    } else {
        for (int i = 0; i < _direction_count; ++i) {
            if (key == QLatin1String(_directions[i].name))
                found = ViewDirection_t(i);
        }
    }
    if (rotation && found != VD_NONE)
        getRotationForView(found, rotation);
    return found;
}

QString ViewCreator::getViewName(ViewDirection_t direction)
{
    return isDirection(direction) ? QString::fromLatin1(_directions[direction].name) : QString();
}

BaVec3d<double> ViewCreator::getViewDirectionVector(ViewDirection_t direction)
{
    if (!isDirection(direction))
        return {};
    const DirectionEntry &e = _directions[direction];
    return BaVec3d<double>(-e.x, -e.y, -e.z).normalized();
}

bool ViewCreator::getRotationForView(ViewDirection_t direction, BaVec3d<double> *rotation)
{
    if (!isDirection(direction))
        return false;
    // Rows of the view rotation: right, up and back (towards the viewer) in model axes.
    const BaVec3d<double> back = -getViewDirectionVector(direction);
    const bool zView = direction == VD_Z_PLUS || direction == VD_Z_MINUS;
    const BaVec3d<double> upHint = zView ? BaVec3d<double>(0, 1, 0) : BaVec3d<double>(0, 0, 1);
    const BaVec3d<double> right = upHint.cross(back).normalized();
    const BaVec3d<double> up = back.cross(right);
    // R = Rx(a) Ry(b) Rz(c): R02 = sin b, R12 = -sin a cos b, R22 = cos a cos b,
    // R01 = -cos b sin c, R00 = cos b cos c. Right is horizontal, so cos b is never 0.
    const double b = std::asin(right.z);
    const double a = std::atan2(-up.z, back.z);
    const double c = std::atan2(-right.y, right.x);
    *rotation = BaVec3d<double>(a, b, c);
    return true;
}

ViewCreator::ViewDirection_t ViewCreator::getOppositeDirection(ViewDirection_t direction)
{
    if (!isDirection(direction))
        return VD_NONE;
    const DirectionEntry &e = _directions[direction];
    for (int i = 0; i < _direction_count; ++i) {
        if (_directions[i].x == -e.x && _directions[i].y == -e.y && _directions[i].z == -e.z)
            return ViewDirection_t(i);
    }
    return VD_NONE;
}

} // namespace Vaq::GL
