#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_growable_array.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "gcad/mesh/gcad_vertex_layout.h"
#include "tests/mesh/mesh_node_fixture.h"

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::GCAD;
using Vaq::Test::progErrorMessage;

TEST(VertexLayout, sizesAndOffsetsOfAllTwelveTypes)
{
    const unsigned sizes[12] = { 18, 24, 22, 28, 24, 36, 28, 40, 26, 32, 32, 44 };
    for (unsigned type = 0; type < 12; ++type)
        EXPECT_EQ(getVertexLayout(type).size, sizes[type]) << type;
    EXPECT_EQ(getVertexLayout(VT_NONE).size, 0u);
    EXPECT_EQ(getVertexLayout(40).size, 0u);

    // Texture coordinate, colour, normals, position, in that order without gaps.
    const VertexLayout colourFlat = getVertexLayout(6);
    EXPECT_EQ(colourFlat.texCoordOffset, -1);
    EXPECT_EQ(colourFlat.colorOffset, 0);
    EXPECT_EQ(colourFlat.normalOffset, 4);
    EXPECT_EQ(colourFlat.normalCount, 2u);
    EXPECT_EQ(colourFlat.positionOffset, 16);
    const VertexLayout mapFloat = getVertexLayout(11);
    EXPECT_EQ(mapFloat.texCoordOffset, 0);
    EXPECT_EQ(mapFloat.colorOffset, -1);
    EXPECT_EQ(mapFloat.normalOffset, 8);
    EXPECT_TRUE(mapFloat.floatNormals);
    EXPECT_EQ(mapFloat.positionOffset, 32);
}

TEST(VertexType, followsTheFlagsAndTheRenderMode)
{
    struct Case
    {
        unsigned flags;
        unsigned type;
    };
    const Case cases[] = {
        { RT_POINTS, 0 }, { RT_TRIANGLES | RT_SMOOTH, 0 }, { RT_TRIANGLES, 4 },
        { RT_EDGES, 0 }, // no triangles asked for: not flat
        { RT_VERTEX_COLORS | RT_POINTS, 2 }, { RT_VERTEX_COLORS | RT_TRIANGLES, 6 },
        { RT_COLOR_MAP | RT_TRIANGLES | RT_SMOOTH, 8 }, { RT_COLOR_MAP | RT_TRIANGLES, 10 },
        { RT_COLOR_MAP | RT_VERTEX_COLORS | RT_POINTS, 8 }, // the colour map wins
    };
    for (const Case &c : cases) {
        for (int mode : { 0, 2, 3, 4 })
            EXPECT_EQ(GLNode::determinVertexType(c.flags, mode), c.type) << c.flags << " mode " << mode;
        EXPECT_EQ(GLNode::determinVertexType(c.flags, 1), c.type + 1) << c.flags;
    }
    EXPECT_EQ(getVertexLayout(GLNode::determinVertexType(RT_TRIANGLES, 1)).size, 36u);
    EXPECT_EQ(getVertexLayout(GLNode::determinVertexType(RT_TRIANGLES, 0)).size, 24u);
    EXPECT_EQ(progErrorMessage([] { GLNode::determinVertexType(RT_POINTS, 5); }), "vertex type not handled");
    EXPECT_EQ(progErrorMessage([] { GLNode::determinVertexType(RT_POINTS, -1); }), "vertex type not handled");
}

TEST(GrowableArray, growsInStepsChosenByItsCapacity)
{
    EXPECT_EQ(GrowableArray<int>::growthStep(0), 4u);
    EXPECT_EQ(GrowableArray<int>::growthStep(15), 4u);
    EXPECT_EQ(GrowableArray<int>::growthStep(16), 16u);
    EXPECT_EQ(GrowableArray<int>::growthStep(255), 64u);
    EXPECT_EQ(GrowableArray<int>::growthStep(256), 256u);
    EXPECT_EQ(GrowableArray<int>::growthStep(65535), 16384u);
    EXPECT_EQ(GrowableArray<int>::growthStep(262143), 65536u);
    EXPECT_EQ(GrowableArray<int>::growthStep(262144), 131072u);
    EXPECT_EQ(GrowableArray<int>::growthStep(10000000), 131072u);

    GrowableArray<int> array;
    std::vector<std::size_t> capacities;
    for (int i = 0; i < 100; ++i) {
        array.push_back(i);
        if (capacities.empty() || capacities.back() != array.capacity())
            capacities.push_back(array.capacity());
    }
    EXPECT_EQ(capacities, (std::vector<std::size_t> { 4, 8, 12, 16, 32, 48, 64, 128 }));
    EXPECT_EQ(array[99], 99);
    array.release();
    EXPECT_EQ(array.capacity(), 0u);
}
