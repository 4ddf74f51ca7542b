// Tessellation of the colour-mapped quads of strain grids. A quad is split at its centre and
// edge midpoints into a fan of eight triangles (9 vertices), or further into four such fans
// (25 vertices), so that the colour-map texture interpolates the values over finer facets.
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

void write(const QuadVertex *vertices, int count, float row, BaVec3d<float> *positions,
    BaVec3d<float> *normals, float *texCoords, float *weights, unsigned *counter)
{
    for (int i = 0; i < count; ++i) {
        const unsigned at = *counter + unsigned(i);
        positions[at] = vertices[i].position;
        normals[at] = vertices[i].normal;
        texCoords[2 * at] = vertices[i].value;
        texCoords[2 * at + 1] = row;
        if (weights)
            weights[at] = vertices[i].weight;
    }
    *counter += unsigned(count);
}

void writeIndices(
    std::initializer_list<uint16_t> offsets, uint16_t *indices, unsigned *counter, uint16_t base)
{
    for (uint16_t offset : offsets)
        indices[(*counter)++] = uint16_t(base + offset);
}

} // namespace

void CADRenderer::addQuadFan(const CAD::Strain::MappedPoint corners[4], BaVec3d<float> *positions,
    BaVec3d<float> *normals, float *texCoords, float *weights, unsigned *counter)
{
    QuadVertex vertices[9];
    fanVertices(corners, vertices);
    write(vertices, 9, textureRow(corners), positions, normals, texCoords, weights, counter);
}

void CADRenderer::addTesselatedQuad(const CAD::Strain::MappedPoint corners[4], BaVec3d<float> *positions,
    BaVec3d<float> *normals, float *texCoords, float *weights, unsigned *counter)
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
    write(v, 25, textureRow(corners), positions, normals, texCoords, weights, counter);
}

void CADRenderer::addQuadFanIndices(uint16_t *indices, unsigned *counter, uint16_t base)
{
    writeIndices({ 4, 5, 0, 6, 1, 7, 2, 8, 3, 5 }, indices, counter, base);
}

void CADRenderer::addTesselatedQuadIndices(uint16_t *indices, unsigned *counter, uint16_t base)
{
    writeIndices({ 9, 13, 0, 14, 6, 23, 4, 21, 5, 13 }, indices, counter, base);
    writeIndices({ 10, 23, 6, 15, 1, 16, 7, 22, 4, 23 }, indices, counter, base);
    writeIndices({ 11, 24, 4, 22, 7, 17, 2, 18, 8, 24 }, indices, counter, base);
    writeIndices({ 12, 20, 5, 21, 4, 24, 8, 19, 3, 20 }, indices, counter, base);
}

} // namespace Vaq::GCAD
