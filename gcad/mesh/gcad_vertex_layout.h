// The interleaved vertex formats of GPU mesh nodes. Twelve types combine colour-map texture
// coordinates or a colour, one normal (smooth) or two (flat shading, one per provoking use),
// 16-bit or float normals, and the float position, packed without gaps in that order.
#pragma once

namespace Vaq::GCAD {

// A colour-map texture coordinate: s along the scale, t = 0 for the colour row and
// SPECIAL_ROW for the row of the colours without a value.
struct TexCoord
{
    float s = 0.0f;
    float t = 0.0f;
};
inline constexpr float SPECIAL_ROW = 4096.0f;

// No type chosen yet: a node that was never prepared or was cleared.
inline constexpr unsigned VT_NONE = 12;

struct VertexLayout
{
    unsigned size = 0; // bytes per vertex; 0 for VT_NONE
    int texCoordOffset = -1; // two floats, -1 when absent
    int colorOffset = -1; // four bytes, -1 when absent
    int normalOffset = 0;
    unsigned normalCount = 0; // 1 smooth, 2 flat
    bool floatNormals = false; // else three int16 per normal
    int positionOffset = 0; // three floats
};

// The layout of vertex type 0 to 11; VT_NONE and any other number give size 0.
VertexLayout getVertexLayout(unsigned vertexType);

inline bool hasColors(unsigned type)
{
    return type == 2 || type == 3 || type == 6 || type == 7;
}
inline bool hasColorMap(unsigned type)
{
    return type >= 8 && type <= 11;
}
// Types with two normals per vertex.
inline bool isFlat(unsigned type)
{
    return (type >= 4 && type <= 7) || type == 10 || type == 11;
}

} // namespace Vaq::GCAD
