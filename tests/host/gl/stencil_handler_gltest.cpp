#include "tests/host/gl/quad_scene.h"

#include <gtest/gtest.h>

#include <memory>

namespace GL = Vaq::GL;
using Vaq::BaVec2d;
using Vaq::Color;
using Vaq::CAD::Element;
using Vaq::Test::Quad;
using Vaq::Test::QuadScene;

namespace {

constexpr int W = 300, H = 200, COLUMNS = 30, ROWS = 20;

// The handler only stores and compares element pointers, so distinct bytes stand in for
// elements; they are never dereferenced.
struct Elements
{
    std::vector<char> storage = std::vector<char>(1000);
    const Element *operator[](size_t i) const { return reinterpret_cast<const Element *>(&storage[i]); }
};

class StencilHandler : public testing::Test
{
protected:
    void SetUp() override
    {
        view.reset(GL::RenderObject::createRenderObject(&scene, W, H));
        view->setScale(H);
        handler = view->getStencilHandler();
    }
    // A 30 x 20 grid of 6 x 6 pixel quads in 10 pixel cells, row by row, each its own element.
    void drawGrid()
    {
        for (int j = 0; j < ROWS; ++j)
            for (int i = 0; i < COLUMNS; ++i)
                scene.quads.push_back({ 10.0 * i + 2, 10.0 * j + 2, 10.0 * i + 8, 10.0 * j + 8,
                    Color(255, 255, 255), elements[size_t(j * COLUMNS + i)] });
        view->repaintWidget();
    }
    static BaVec2d<double> centre(int i, int j) { return { 10.0 * i + 5, 10.0 * j + 5 }; }

    Elements elements;
    QuadScene scene { W, H };
    std::unique_ptr<GL::RenderObject> view;
    GL::StencilHandlerBase *handler = nullptr;
};

TEST_F(StencilHandler, EveryPixelAndRectangleNamesTheElementDrawnThereBeyondTheStencilIdsUntilTheNextRepaint)
{
    drawGrid();
    // 600 elements need three rounds of stencil ids.
    EXPECT_EQ(handler->getResolveCount(), 2u);
    for (int j = 0; j < ROWS; ++j) {
        for (int i = 0; i < COLUMNS; ++i) {
            EXPECT_EQ(handler->getNearestRenderedElement(centre(i, j)), elements[size_t(j * COLUMNS + i)])
                << i << ", " << j;
            // Quad edges: first and last covered pixel.
            EXPECT_EQ(handler->getNearestRenderedElement({ 10.0 * i + 2, 10.0 * j + 7.5 }),
                elements[size_t(j * COLUMNS + i)]);
            EXPECT_EQ(handler->getNearestRenderedElement({ 10.0 * i + 0.5, 10.0 * j + 0.5 }), nullptr);
        }
    }
    EXPECT_EQ(handler->getNearestRenderedElement({ -1, 5 }), nullptr);
    EXPECT_EQ(handler->getNearestRenderedElement({ 5, H }), nullptr);

    // Pixel x 40 lies 2 pixels left of quad 4 and 3 right of quad 3: the nearest within the radius.
    EXPECT_EQ(handler->getNearestRenderedElement({ 40.5, 55.5 }, true), elements[5 * COLUMNS + 4]);
    EXPECT_EQ(handler->getNearestRenderedElement({ 39.5, 55.5 }, true), elements[5 * COLUMNS + 3]);
    EXPECT_EQ(handler->getNearestRenderedElement({ 40.5, 55.5 }, true, 1), nullptr);
    // Pixel queries read only the pixels around them: the last round's ids are still pending.
    EXPECT_GT(handler->getPendingIds(), 0u);

    // Rectangles give one entry per pixel, row by row.
    unsigned rect[4] = {};
    std::vector<const Element *> hits;
    // Cell (7, 3): x 71 to 78, y 31 to 33; the quad covers x 72 to 77 and y from 32.
    ASSERT_TRUE(handler->getRenderedElements({ 78, 33 }, { 71, 31 }, false, rect, &hits));
    EXPECT_EQ(std::vector<unsigned>(rect, rect + 4), (std::vector<unsigned> { 71, 31, 78, 33 }));
    ASSERT_EQ(hits.size(), 8u * 3u);
    for (int y = 31; y <= 33; ++y) {
        for (int x = 71; x <= 78; ++x) {
            const Element *expected = (x >= 72 && x <= 77 && y >= 32) ? elements[3 * COLUMNS + 7] : nullptr;
            EXPECT_EQ(hits[size_t((y - 31) * 8 + (x - 71))], expected) << x << ", " << y;
        }
    }

    // Reaching outside: refused, or clipped on request.
    EXPECT_FALSE(handler->getRenderedElements({ -5, -5 }, { 3, 3 }, false, rect, &hits));
    EXPECT_TRUE(hits.empty());
    ASSERT_TRUE(handler->getRenderedElements({ -5, -5 }, { 3, 3 }, true, rect, &hits));
    EXPECT_EQ(std::vector<unsigned>(rect, rect + 4), (std::vector<unsigned> { 0, 0, 3, 3 }));
    EXPECT_EQ(hits.size(), 16u);
    EXPECT_EQ(hits.back(), elements[0]);
    EXPECT_FALSE(handler->getRenderedElements({ W + 1, 0 }, { W + 5, 3 }, true, rect, &hits));

    // A new repaint forgets the old elements, also where its own ids run out after a few
    // repaints of the grid (which may leave their memory to it), and a resize drops the ids
    // with the old buffer. Of 300 elements in the corner the last shows.
    for (int repaint = 0; repaint < 3; ++repaint)
        view->repaintWidget();
    scene.quads.clear();
    for (size_t k = 0; k < 300; ++k)
        scene.quads.push_back({ 0, 0, 10, 10, Color(1, 1, 1), elements[k] });
    view->repaintWidget();
    EXPECT_EQ(handler->getResolveCount(), 1u);
    EXPECT_EQ(handler->getNearestRenderedElement(centre(5, 5)), nullptr);
    EXPECT_EQ(handler->getNearestRenderedElement(centre(COLUMNS - 1, ROWS - 1)), nullptr);
    EXPECT_EQ(handler->getNearestRenderedElement({ 5, 5 }), elements[299]);
    view->resize(50, 50);
    EXPECT_EQ(handler->getNearestRenderedElement({ 5, 5 }), nullptr);
}

TEST_F(StencilHandler, IdsAreSharedByTilesApartAndRunOutOnlyWhereElementsCrowd)
{
    // Quads that declare exactly their pixels: a grid of 6 x 6 quads across the tile borders,
    // the same grid shifted by 3 pixels over it, quads apart from both, 576 in all, and then
    // 300 single pixels crowded into one tile of their own. Only the crowd runs out of ids.
    size_t k = 0;
    const auto add = [&](int x, int y, int size) {
        scene.quads.push_back({ double(x), double(y), double(x + size), double(y + size),
            Color(255, 255, 255), elements[k++] });
        scene.quads.back().area = QRect(x, y, size, size);
    };
    for (int shift : { 13, 16 })
        for (int j = 0; j < 16; ++j)
            for (int i = 0; i < 16; ++i)
                add(shift + 10 * i, shift + 10 * j, 6);
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i)
            add(200 + 12 * i, 100 + 12 * j, 6);
    for (int c = 0; c < 300; ++c)
        add(4 * GL::StencilHandlerBase::TILE + 2 + (c % 20) * 2, 2 + (c / 20) * 3, 1);
    view->repaintWidget();
    EXPECT_EQ(handler->getResolveCount(), 1u);

    // Later quads cover earlier ones at the same depth.
    std::vector<const Element *> expected(size_t(W) * H, nullptr);
    for (const Quad &q : scene.quads)
        for (int y = int(q.y0); y < int(q.y1); ++y)
            for (int x = int(q.x0); x < int(q.x1); ++x)
                expected[size_t(y) * W + size_t(x)] = q.element;
    unsigned rect[4] = {};
    std::vector<const Element *> hits;
    ASSERT_TRUE(handler->getRenderedElements({ 0, 0 }, { W - 1, H - 1 }, false, rect, &hits));
    ASSERT_EQ(hits.size(), expected.size());
    int wrong = 0;
    for (size_t i = 0; i < hits.size(); ++i) {
        if (hits[i] != expected[i] && wrong++ == 0)
            ADD_FAILURE() << "first wrong pixel " << i % W << ", " << i / W;
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(StencilHandler, LaterDrawingCoversEarlierAcrossRoundsButNotBehindIt)
{
    const Element *first = elements[0];
    scene.quads.push_back({ 0, 0, 100, 100, Color(255, 0, 0), first });
    // Fill the ids so that the following quads are drawn in a later round.
    for (size_t k = 1; k <= 300; ++k)
        scene.quads.push_back({ 200, 150, 201, 151, Color(0, 0, 0), elements[k] });
    scene.quads.push_back({ 10, 10, 20, 20, Color(0, 255, 0), elements[301] }); // in front: covers
    Quad behind { 30, 30, 40, 40, Color(0, 0, 255), elements[302] };
    behind.z = -0.5; // behind: hidden
    scene.quads.push_back(behind);
    scene.quads.push_back({ 50, 50, 60, 60, Color(9, 9, 9), nullptr }); // no element
    Quad untracked { 70, 70, 80, 80, Color(8, 8, 8), elements[303] };
    untracked.disabled = true; // leaves stencil
    scene.quads.push_back(untracked);
    view->repaintWidget();
    EXPECT_GE(handler->getResolveCount(), 1u);
    EXPECT_EQ(handler->getNearestRenderedElement({ 15, 15 }), elements[301]);
    EXPECT_EQ(handler->getNearestRenderedElement({ 35, 35 }), first);
    EXPECT_EQ(handler->getNearestRenderedElement({ 55, 55 }), nullptr);
    EXPECT_EQ(handler->getNearestRenderedElement({ 75, 75 }), first);
    EXPECT_EQ(handler->getNearestRenderedElement({ 200.5, 150.5 }), elements[300]);
}

} // namespace
