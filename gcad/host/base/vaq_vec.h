// BaVec2d / BaVec3d: small value vectors of two and three coordinates with the arithmetic
// the drawing code needs. Coordinates are public (x, y, z) and also reachable by index.
#pragma once

#include <cmath>

namespace Vaq {

template<typename T>
struct BaVec2d
{
    T x{}, y{};

    constexpr BaVec2d() = default;
    constexpr BaVec2d(T x_, T y_) : x(x_), y(y_) {}

    T &operator[](int i) { return i == 0 ? x : y; }
    const T &operator[](int i) const { return i == 0 ? x : y; }

    BaVec2d operator+(const BaVec2d &o) const { return {x + o.x, y + o.y}; }
    BaVec2d operator-(const BaVec2d &o) const { return {x - o.x, y - o.y}; }
    BaVec2d operator*(T s) const { return {x * s, y * s}; }
    bool operator==(const BaVec2d &o) const { return x == o.x && y == o.y; }
    bool operator!=(const BaVec2d &o) const { return !(*this == o); }

    T dot(const BaVec2d &o) const { return x * o.x + y * o.y; }
    T length() const { return std::sqrt(dot(*this)); }
};

template<typename T>
struct BaVec3d
{
    T x{}, y{}, z{};

    constexpr BaVec3d() = default;
    constexpr BaVec3d(T x_, T y_, T z_) : x(x_), y(y_), z(z_) {}

    T &operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    const T &operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    BaVec3d operator+(const BaVec3d &o) const { return {x + o.x, y + o.y, z + o.z}; }
    BaVec3d operator-(const BaVec3d &o) const { return {x - o.x, y - o.y, z - o.z}; }
    BaVec3d operator-() const { return {-x, -y, -z}; }
    BaVec3d operator*(T s) const { return {x * s, y * s, z * s}; }
    BaVec3d operator/(T s) const { return {x / s, y / s, z / s}; }
    BaVec3d &operator+=(const BaVec3d &o) { x += o.x; y += o.y; z += o.z; return *this; }
    BaVec3d &operator-=(const BaVec3d &o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    BaVec3d &operator*=(T s) { x *= s; y *= s; z *= s; return *this; }
    bool operator==(const BaVec3d &o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const BaVec3d &o) const { return !(*this == o); }

    T dot(const BaVec3d &o) const { return x * o.x + y * o.y + z * o.z; }
    BaVec3d cross(const BaVec3d &o) const
    {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    T length() const { return std::sqrt(dot(*this)); }
    // The unit vector in this direction; the zero vector stays zero.
    BaVec3d normalized() const
    {
        const T l = length();
        return l > T(0) ? *this / l : *this;
    }
};

} // namespace Vaq
