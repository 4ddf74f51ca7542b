#include "gcad/mesh/gcad_vertex_layout.h"

namespace Vaq::GCAD {

VertexLayout getVertexLayout(unsigned vertexType)
{
    VertexLayout layout;
    if (vertexType >= VT_NONE)
        return layout;
    // Odd types have float normals; the table's rows pair up that way.
    layout.floatNormals = vertexType % 2 == 1;
    layout.normalCount = isFlat(vertexType) ? 2 : 1;
    int offset = 0;
    if (hasColorMap(vertexType)) {
        layout.texCoordOffset = offset;
        offset += 2 * sizeof(float);
    }
    if (hasColors(vertexType)) {
        layout.colorOffset = offset;
        offset += 4;
    }
    layout.normalOffset = offset;
    offset += int(layout.normalCount * 3 * (layout.floatNormals ? sizeof(float) : sizeof(short)));
    layout.positionOffset = offset;
    layout.size = unsigned(offset + 3 * sizeof(float));
    return layout;
}

} // namespace Vaq::GCAD
