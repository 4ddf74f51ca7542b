// Vertex packing: one pass over the vertices, writing each field in place at its layout
// offset, so the cost is that of the bytes written.
#include "gcad/mesh/gcad_vertex_packing.h"

#include <cstring>

namespace Vaq::GCAD {

namespace {

static_assert(sizeof(Color) == 4, "colours are copied as four bytes");

// Components are stored one by one: assembling them in a temporary first would make the
// copy read back across several small stores, which the processor cannot forward.
template<typename T> void store(uint8_t *out, T value)
{
    std::memcpy(out, &value, sizeof value);
}

void writeNormal(uint8_t *out, const BaVec3d<float> &normal, bool floatNormals)
{
    if (floatNormals) {
        store(out, normal.x);
        store(out + 4, normal.y);
        store(out + 8, normal.z);
    } else {
        // Truncated toward zero, so 1.0 and -1.0 become 32767 and -32767.
        store(out, int16_t(normal.x * 32767.0f));
        store(out + 2, int16_t(normal.y * 32767.0f));
        store(out + 4, int16_t(normal.z * 32767.0f));
    }
}

} // namespace

VertexSources VertexSources::from(std::size_t first) const
{
    VertexSources rest = *this;
    if (texCoords)
        rest.texCoords += first;
    if (provokingCount) {
        rest.provokingCount += first;
        rest.slotTriangle[0] += first;
        rest.slotTriangle[1] += first;
    }
    return rest;
}

void packVertices(uint8_t *destination, unsigned vertexType, const uint32_t *vertices, std::size_t count,
    const VertexSources &sources)
{
    const VertexLayout layout = getVertexLayout(vertexType);
    const unsigned normalBytes = 3 * (layout.floatNormals ? sizeof(float) : sizeof(int16_t));
    // Local copies: the byte stores below could alias the sources' fields, which the compiler
    // would then read again for every vertex.
    const BaVec3d<double> *positions = sources.positions;
    const BaVec3d<float> *vertexNormals = sources.vertexNormals;
    const BaVec3d<float> *triangleNormals = sources.triangleNormals;
    const Color *colours = sources.colours;
    const Color colour = sources.colour;
    const TexCoord *texCoords = sources.texCoords;
    const int8_t *provokingCount = sources.provokingCount;
    const uint32_t *slotTriangle[2] = { sources.slotTriangle[0], sources.slotTriangle[1] };
    uint8_t *out = destination;
    for (std::size_t k = 0; k < count; ++k, out += layout.size) {
        const uint32_t v = vertices[k];
        if (layout.texCoordOffset >= 0)
            std::memcpy(out + layout.texCoordOffset, &texCoords[k], sizeof(TexCoord));
        if (layout.colorOffset >= 0)
            std::memcpy(out + layout.colorOffset, colours ? &colours[v] : &colour, 4);
        // A vertex that provokes flat triangles carries their normals instead of its own.
        const int provoking = layout.normalCount == 2 ? provokingCount[k] : 0;
        if (provoking == 0)
            writeNormal(out + layout.normalOffset, vertexNormals[v], layout.floatNormals);
        for (int slot = 0; slot < provoking; ++slot)
            writeNormal(out + layout.normalOffset + slot * normalBytes,
                triangleNormals[slotTriangle[slot][k]], layout.floatNormals);
        const BaVec3d<double> &p = positions[v];
        store(out + layout.positionOffset, float(p.x));
        store(out + layout.positionOffset + 4, float(p.y));
        store(out + layout.positionOffset + 8, float(p.z));
    }
}

} // namespace Vaq::GCAD
