// The facing test of runs of triangles against the triangles projected one by one.
#include "gcad/mesh/gcad_facing_cone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace Vaq;
using namespace Vaq::GCAD;

namespace {

// A column-major 4 x 4 matrix: the 3 x 3 part given by rows, no translation, w = 1.
struct Matrix
{
    double m[16] = {};
    Matrix(const double rows[3][3])
    {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                m[4 * c + r] = rows[r][c];
        m[15] = 1.0;
    }
};

// Twice the signed window area of the triangle of corners t, projected corner by corner.
double windowArea(const double *m, const std::vector<BaVec3d<double>> &v, const uint16_t *t)
{
    double x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        const BaVec3d<double> &p = v[t[i]];
        const double w = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
        x[i] = (m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12]) / w;
        y[i] = (m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13]) / w;
    }
    return (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
}

// A bumpy height field over [0, 1]^2, counter-clockwise seen from +z, three indices per
// triangle.
void heightField(double bump, std::vector<BaVec3d<double>> *v, std::vector<uint16_t> *t)
{
    const int n = 8;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i)
            v->push_back({ double(i) / n, double(j) / n, bump * std::sin(3.0 * i) * std::cos(2.0 * j) / n });
    for (uint16_t j = 0; j < n; ++j) {
        for (uint16_t i = 0; i < n; ++i) {
            const uint16_t a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
            t->insert(t->end(), { a, b, d, a, d, c });
        }
    }
}

// The cone of all triangles of t.
FacingCone coneOf(const std::vector<BaVec3d<double>> &v, const std::vector<uint16_t> &t)
{
    const std::vector<FacingCone> cones = windingNormalCones(v, t.data(), t.size() / 3, t.size());
    EXPECT_EQ(cones.size(), 1u);
    return cones.empty() ? FacingCone() : cones[0];
}

} // namespace

TEST(FacingCone, aRunSaidToFaceOneWayHasEveryTriangleFacingThatWayInTheWindow)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> entry(-2.0, 2.0);
    int decided = 0;
    for (double bump : { 0.0, 0.5, 2.0 }) {
        std::vector<BaVec3d<double>> v;
        std::vector<uint16_t> t;
        heightField(bump, &v, &t);
        // Runs of 10 triangles: the last one has 8.
        const std::vector<FacingCone> cones = windingNormalCones(v, t.data(), t.size() / 3, 10);
        ASSERT_EQ(cones.size(), 13u);
        // Random linear maps: turns, stretches and mirrors alike.
        for (int trial = 0; trial < 300; ++trial) {
            double rows[3][3];
            for (auto &row : rows)
                for (double &e : row)
                    e = entry(random);
            const Matrix matrix(rows);
            for (std::size_t run = 0; run < cones.size(); ++run) {
                const Facing facing = facingInView(cones[run], matrix.m);
                if (facing == Facing::BOTH)
                    continue;
                ++decided;
                for (std::size_t i = 30 * run; i < std::min(t.size(), 30 * run + 30); i += 3)
                    EXPECT_EQ(windowArea(matrix.m, v, &t[i]) > 0.0, facing == Facing::FRONT)
                        << bump << " " << trial;
            }
        }
    }
    // Most random views of the runs of the flat and the gentle field see them from one side.
    EXPECT_GT(decided, 13 * 300);
}

TEST(FacingCone, closedShapesEdgeOnViewsPerspectiveAndEmptyLeavesFaceBothWays)
{
    const double identity[3][3] = { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } };
    const double mirror[3][3] = { { -1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } };
    const double edgeOn[3][3] = { { 1, 0, 0 }, { 0, 0, 1 }, { 0, 1, 0 } };
    std::vector<BaVec3d<double>> v;
    std::vector<uint16_t> t;
    heightField(0.0, &v, &t);
    const FacingCone flat = coneOf(v, t);
    EXPECT_EQ(facingInView(flat, Matrix(identity).m), Facing::FRONT);
    EXPECT_EQ(facingInView(flat, Matrix(mirror).m), Facing::BACK);
    EXPECT_EQ(facingInView(flat, Matrix(edgeOn).m), Facing::BOTH);
    Matrix perspective(identity);
    perspective.m[11] = -1.0;
    EXPECT_EQ(facingInView(flat, perspective.m), Facing::BOTH);

    // A tetrahedron, and triangles of no area only.
    const std::vector<BaVec3d<double>> corners = { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } };
    const std::vector<uint16_t> faces = { 0, 2, 1, 0, 1, 3, 0, 3, 2, 1, 2, 3 };
    EXPECT_EQ(facingInView(coneOf(corners, faces), Matrix(identity).m), Facing::BOTH);
    EXPECT_EQ(facingInView(coneOf(corners, { 0, 1, 1, 2, 2, 2 }), Matrix(identity).m), Facing::BOTH);
}
