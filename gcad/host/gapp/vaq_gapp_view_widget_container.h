// ViewWidgetContainer: the application's open 3-D views, in the order they were opened.
// The application adds each view it opens; a view that is deleted leaves the list by itself
// (the container watches QObject::destroyed), so the list never holds a dangling pointer.
#pragma once

#include <vector>

namespace Vaq::GL {
class RenderObject;
}

namespace Vaq::GApp {

class ViewWidgetContainer
{
public:
    using Iterator = std::vector<GL::RenderObject *>::const_iterator;

    // Adds view (not owned). Returns false for null or for a view already in the list.
    static bool addView(GL::RenderObject *view);
    // Returns false when view is not in the list.
    static bool removeView(GL::RenderObject *view);
    static bool containsView(const GL::RenderObject *view);

    static const std::vector<GL::RenderObject *> &getViews();
    // Walks the views; adding or deleting a view invalidates the iterators.
    static Iterator getWidgetBegin();
    static Iterator getWidgetEnd();
};

} // namespace Vaq::GApp
