#include "gcad/host/base/vaq_transformation.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Vaq {

Transformation::Transformation()
{
    for (int i = 0; i < 16; ++i)
        m_m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

Transformation::Transformation(const double rowMajor[16])
{
    std::copy(rowMajor, rowMajor + 16, m_m);
}

Transformation Transformation::translation(const BaVec3d<double> &offset)
{
    Transformation t;
    t(0, 3) = offset.x;
    t(1, 3) = offset.y;
    t(2, 3) = offset.z;
    return t;
}

Transformation Transformation::scaling(double sx, double sy, double sz)
{
    Transformation t;
    t(0, 0) = sx;
    t(1, 1) = sy;
    t(2, 2) = sz;
    return t;
}

Transformation Transformation::rotation(const BaVec3d<double> &axis, double angle)
{
    Transformation t;
    const BaVec3d<double> a = axis.normalized();
    if (a.length() == 0.0)
        return t;
    // Rodrigues' formula.
    const double c = std::cos(angle), s = std::sin(angle), k = 1.0 - c;
    t(0, 0) = c + a.x * a.x * k;
    t(0, 1) = a.x * a.y * k - a.z * s;
    t(0, 2) = a.x * a.z * k + a.y * s;
    t(1, 0) = a.y * a.x * k + a.z * s;
    t(1, 1) = c + a.y * a.y * k;
    t(1, 2) = a.y * a.z * k - a.x * s;
    t(2, 0) = a.z * a.x * k - a.y * s;
    t(2, 1) = a.z * a.y * k + a.x * s;
    t(2, 2) = c + a.z * a.z * k;
    return t;
}

Transformation Transformation::computeTransformationRotateAxis(
    const BaVec3d<double> &point, const BaVec3d<double> &direction, double angle)
{
    return translation(point) * rotation(direction, angle) * translation(-point);
}

Transformation Transformation::operator*(const Transformation &o) const
{
    Transformation r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += (*this)(i, k) * o(k, j);
            r(i, j) = sum;
        }
    return r;
}

bool Transformation::operator==(const Transformation &other) const
{
    return std::equal(m_m, m_m + 16, other.m_m);
}

bool Transformation::getInverse(Transformation *inverse) const
{
    // Gauss-Jordan elimination with partial pivoting on [M | I].
    double a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            a[i][j] = (*this)(i, j);
            a[i][j + 4] = (i == j) ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row)
            if (std::abs(a[row][col]) > std::abs(a[pivot][col]))
                pivot = row;
        if (std::abs(a[pivot][col]) < 1e-300)
            return false;
        if (pivot != col)
            for (int j = 0; j < 8; ++j)
                std::swap(a[pivot][j], a[col][j]);
        const double p = a[col][col];
        for (int j = 0; j < 8; ++j)
            a[col][j] /= p;
        for (int row = 0; row < 4; ++row) {
            if (row == col || a[row][col] == 0.0)
                continue;
            const double f = a[row][col];
            for (int j = 0; j < 8; ++j)
                a[row][j] -= f * a[col][j];
        }
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            (*inverse)(i, j) = a[i][j + 4];
    return true;
}

BaVec3d<double> Transformation::transform(const BaVec3d<double> &p) const
{
    BaVec3d<double> r;
    for (int i = 0; i < 3; ++i)
        r[i] = m_m[i * 4] * p.x + m_m[i * 4 + 1] * p.y + m_m[i * 4 + 2] * p.z + m_m[i * 4 + 3];
    const double w = m_m[12] * p.x + m_m[13] * p.y + m_m[14] * p.z + m_m[15];
    return (w != 1.0 && w != 0.0) ? r / w : r;
}

BaVec3d<double> Transformation::transformVector(const BaVec3d<double> &v) const
{
    BaVec3d<double> r;
    for (int i = 0; i < 3; ++i)
        r[i] = m_m[i * 4] * v.x + m_m[i * 4 + 1] * v.y + m_m[i * 4 + 2] * v.z;
    return r;
}

double Transformation::transformZ(const BaVec3d<double> &p) const
{
    const double z = m_m[8] * p.x + m_m[9] * p.y + m_m[10] * p.z + m_m[11];
    const double w = m_m[12] * p.x + m_m[13] * p.y + m_m[14] * p.z + m_m[15];
    return (w != 1.0 && w != 0.0) ? z / w : z;
}

Box3d Transformation::transformBox(const Box3d &box) const
{
    Box3d result;
    if (box.isEmpty())
        return result;
    for (const BaVec3d<double> &corner : box.getCorners())
        result.extend(transform(corner));
    return result;
}

void Transformation::getGLTransformation(double columnMajor[16]) const
{
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            columnMajor[column * 4 + row] = (*this)(row, column);
}

Transformation Transformation::fromGLTransformation(const double columnMajor[16])
{
    Transformation t;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            t(row, column) = columnMajor[column * 4 + row];
    return t;
}

} // namespace Vaq
