#include "gcad/host/gapp/vaq_gapp_view_widget_container.h"
#include "gcad/host/gl/vaq_gl_render_callback.h"
#include "gcad/host/gl/vaq_gl_render_object.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Vaq;
using namespace Vaq::GApp;

namespace {

struct View
{
    GL::RenderCallback callback;
    std::unique_ptr<GL::RenderObject> object { GL::RenderObject::createRenderObject(&callback, 16, 16) };
};

using Views = std::vector<GL::RenderObject *>;

Views walk()
{
    return Views(ViewWidgetContainer::getWidgetBegin(), ViewWidgetContainer::getWidgetEnd());
}

} // namespace

TEST(ViewWidgetContainer, keepsViewsInOrderRefusesDuplicatesAndForgetsDeletedViews)
{
    View a, b, c;
    EXPECT_TRUE(ViewWidgetContainer::addView(a.object.get()));
    EXPECT_TRUE(ViewWidgetContainer::addView(b.object.get()));
    EXPECT_TRUE(ViewWidgetContainer::addView(c.object.get()));
    EXPECT_FALSE(ViewWidgetContainer::addView(a.object.get()));
    EXPECT_FALSE(ViewWidgetContainer::addView(nullptr));
    EXPECT_EQ(walk(), (Views { a.object.get(), b.object.get(), c.object.get() }));

    EXPECT_TRUE(ViewWidgetContainer::removeView(c.object.get()));
    EXPECT_FALSE(ViewWidgetContainer::removeView(c.object.get()));
    GL::RenderObject *survivor = b.object.get();
    a.object.reset();
    EXPECT_EQ(walk(), (Views { survivor }));
    // Deleting the removed view must not take anything else out.
    c.object.reset();
    EXPECT_EQ(ViewWidgetContainer::getViews(), (Views { survivor }));
    b.object.reset();
    EXPECT_TRUE(ViewWidgetContainer::getViews().empty());
}
