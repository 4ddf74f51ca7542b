#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_growable_array.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "tests/mesh/mesh_node_fixture.h"

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::GCAD;
using Vaq::Test::progErrorMessage;

TEST(VertexType, followsTheFlagsAndTheRenderMode)
{
    const std::pair<unsigned, unsigned> cases[] = { { RT_TRIANGLES | RT_SMOOTH, 0 }, { RT_TRIANGLES, 4 },
        { RT_EDGES, 0 }, // no triangles asked for: not flat
        { RT_VERTEX_COLORS | RT_POINTS, 2 }, { RT_VERTEX_COLORS | RT_TRIANGLES, 6 },
        { RT_COLOR_MAP | RT_TRIANGLES, 10 }, { RT_COLOR_MAP | RT_VERTEX_COLORS | RT_POINTS, 8 } };
    for (const auto &[flags, type] : cases) {
        // Only render mode 1 asks for float normals.
        for (int mode : { 0, 3 })
            EXPECT_EQ(GLNode::determinVertexType(flags, mode), type) << flags << " mode " << mode;
        EXPECT_EQ(GLNode::determinVertexType(flags, 1), type + 1) << flags;
    }
    EXPECT_EQ(progErrorMessage([] { GLNode::determinVertexType(RT_POINTS, 5); }), "vertex type not handled");
    EXPECT_EQ(progErrorMessage([] { GLNode::determinVertexType(RT_POINTS, -1); }), "vertex type not handled");
}

TEST(GrowableArray, growsInStepsChosenByItsCapacity)
{
    const std::pair<std::size_t, std::size_t> steps[]
        = { { 15, 4 }, { 16, 16 }, { 255, 64 }, { 262143, 65536 }, { 262144, 131072 }, { 10000000, 131072 } };
    for (const auto &[capacity, step] : steps)
        EXPECT_EQ(GrowableArray<int>::growthStep(capacity), step) << capacity;

    GrowableArray<int> array;
    std::vector<std::size_t> capacities;
    for (int i = 0; i < 100; ++i) {
        array.push_back(i);
        if (capacities.empty() || capacities.back() != array.capacity())
            capacities.push_back(array.capacity());
    }
    EXPECT_EQ(capacities, (std::vector<std::size_t> { 4, 8, 12, 16, 32, 48, 64, 128 }));
    EXPECT_EQ(array[99], 99);
}
