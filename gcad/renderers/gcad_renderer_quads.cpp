// Tessellation of the colour-mapped quads of strain grids. A quad is split at its centre and
// edge midpoints into a fan of eight triangles (9 vertices), or further into four such fans
// (25 vertices), so that the colour-map texture interpolates the values over finer facets.
// Neighbouring quads of a grid share their corners and edge midpoints, which come out the same
// from either side (averages of the same corners), so a grid needs about 4 vertices per quad
// instead of 9; the fans are written as triangle lists so that a whole row is one draw call.
#include "gcad/renderers/gcad_renderer.h"

#include <limits>

namespace Vaq::GCAD {

namespace {

// Texture row of a quad: the upper row of the colour map for quads with all values, the
// lower (no-value) row when any corner has none.
constexpr float ROW_VALID = 0.25f;
constexpr float ROW_NO_VALUE = 0.75f;

struct QuadVertex
{
    BaVec3d<float> position;
    BaVec3d<float> normal;
    float value = 0.0f;
    float weight = 1.0f;
};

QuadVertex average(std::initializer_list<QuadVertex> vertices)
{
    QuadVertex sum { {}, {}, 0.0f, 0.0f };
    for (const QuadVertex &v : vertices) {
        sum.position += v.position;
        sum.normal += v.normal;
        sum.value += v.value;
        sum.weight += v.weight;
    }
    const float n = float(vertices.size());
    return { sum.position / n, sum.normal / n, sum.value / n, sum.weight / n };
}

// Corners 0 to 3, the centre, then the midpoints of the edges 0-3, 0-1, 1-2, 2-3.
void fanVertices(const CAD::Strain::MappedPoint corners[4], QuadVertex out[9])
{
    for (int i = 0; i < 4; ++i)
        out[i] = { corners[i].position, corners[i].normal, corners[i].value, corners[i].flag ? 0.5f : 1.0f };
    out[4] = average({ out[0], out[1], out[2], out[3] });
    out[5] = average({ out[0], out[3] });
    out[6] = average({ out[0], out[1] });
    out[7] = average({ out[1], out[2] });
    out[8] = average({ out[2], out[3] });
}

float textureRow(const CAD::Strain::MappedPoint corners[4])
{
    for (int i = 0; i < 4; ++i)
        if (corners[i].value == std::numeric_limits<float>::max())
            return ROW_NO_VALUE;
    return ROW_VALID;
}

// Writes the vertices whose id is NEW_VERTEX at *counter and records where they went; the
// others are already in the arrays (a neighbouring quad wrote them).
void write(const QuadVertex *vertices, uint16_t *ids, int count, float row, BaVec3d<float> *positions,
    BaVec3d<float> *normals, float *texCoords, float *weights, unsigned *counter)
{
    for (int i = 0; i < count; ++i) {
        if (ids[i] != CADRenderer::NEW_VERTEX)
            continue;
        const unsigned at = (*counter)++;
        ids[i] = uint16_t(at);
        positions[at] = vertices[i].position;
        normals[at] = vertices[i].normal;
        texCoords[2 * at] = vertices[i].value;
        texCoords[2 * at + 1] = row;
        if (weights)
            weights[at] = vertices[i].weight;
    }
}

// The fan round fan[0] through fan[1..9] as its eight triangles.
void writeFan(const uint8_t fan[10], const uint16_t *ids, uint16_t *indices, unsigned *counter)
{
    for (int t = 1; t < 9; ++t) {
        indices[(*counter)++] = ids[fan[0]];
        indices[(*counter)++] = ids[fan[t]];
        indices[(*counter)++] = ids[fan[t + 1]];
    }
}

} // namespace

void CADRenderer::addQuadFan(const CAD::Strain::MappedPoint corners[4], BaVec3d<float> *positions,
    BaVec3d<float> *normals, float *texCoords, float *weights, unsigned *counter, uint16_t ids[9])
{
    QuadVertex vertices[9];
    fanVertices(corners, vertices);
    write(vertices, ids, 9, textureRow(corners), positions, normals, texCoords, weights, counter);
}

void CADRenderer::addTesselatedQuad(const CAD::Strain::MappedPoint corners[4], BaVec3d<float> *positions,
    BaVec3d<float> *normals, float *texCoords, float *weights, unsigned *counter, uint16_t ids[25])
{
    QuadVertex v[25];
    fanVertices(corners, v);
    // Centres of the four sub-quads.
    v[9] = average({ v[0], v[6], v[4], v[5] });
    v[10] = average({ v[6], v[1], v[7], v[4] });
    v[11] = average({ v[4], v[7], v[2], v[8] });
    v[12] = average({ v[5], v[4], v[8], v[3] });
    // Midpoints of the sub-quad edges: the outer ones, then the four inner ones.
    const int edges[12][2] = { { 5, 0 }, { 0, 6 }, { 6, 1 }, { 1, 7 }, { 7, 2 }, { 2, 8 }, { 8, 3 }, { 3, 5 },
        { 5, 4 }, { 4, 7 }, { 6, 4 }, { 4, 8 } };
    for (int i = 0; i < 12; ++i)
        v[13 + i] = average({ v[edges[i][0]], v[edges[i][1]] });
    write(v, ids, 25, textureRow(corners), positions, normals, texCoords, weights, counter);
}

void CADRenderer::addQuadFanIndices(uint16_t *indices, unsigned *counter, const uint16_t ids[9])
{
    static constexpr uint8_t FAN[10] = { 4, 5, 0, 6, 1, 7, 2, 8, 3, 5 };
    writeFan(FAN, ids, indices, counter);
}

void CADRenderer::addTesselatedQuadIndices(uint16_t *indices, unsigned *counter, const uint16_t ids[25])
{
    static constexpr uint8_t FANS[4][10]
        = { { 9, 13, 0, 14, 6, 23, 4, 21, 5, 13 }, { 10, 23, 6, 15, 1, 16, 7, 22, 4, 23 },
              { 11, 24, 4, 22, 7, 17, 2, 18, 8, 24 }, { 12, 20, 5, 21, 4, 24, 8, 19, 3, 20 } };
    for (const uint8_t *fan : FANS)
        writeFan(fan, ids, indices, counter);
}

} // namespace Vaq::GCAD
