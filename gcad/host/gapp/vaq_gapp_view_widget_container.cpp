#include "gcad/host/gapp/vaq_gapp_view_widget_container.h"

#include "gcad/host/gl/vaq_gl_render_object.h"

#include <QObject>

#include <algorithm>

namespace Vaq::GApp {

namespace {

// The views and, beside each, the QObject it is: destroyed() reports the dying object as
// a plain QObject, which is all that can be compared with at that point.
struct Views
{
    std::vector<GL::RenderObject *> views;
    std::vector<const QObject *> objects;
    std::vector<QMetaObject::Connection> connections;

    void erase(std::size_t i)
    {
        QObject::disconnect(connections[i]);
        views.erase(views.begin() + std::ptrdiff_t(i));
        objects.erase(objects.begin() + std::ptrdiff_t(i));
        connections.erase(connections.begin() + std::ptrdiff_t(i));
    }

    std::size_t indexOf(const QObject *object) const
    {
        return std::size_t(std::find(objects.begin(), objects.end(), object) - objects.begin());
    }
};

Views &views()
{
    static Views v;
    return v;
}

} // namespace

bool ViewWidgetContainer::addView(GL::RenderObject *view)
{
    if (!view || containsView(view))
        return false;
    Views &v = views();
    const QObject *object = view;
    v.views.push_back(view);
    v.objects.push_back(object);
    v.connections.push_back(QObject::connect(view, &QObject::destroyed, [object] {
        Views &all = views();
        const std::size_t i = all.indexOf(object);
        if (i < all.objects.size())
            all.erase(i);
    }));
    return true;
}

bool ViewWidgetContainer::removeView(GL::RenderObject *view)
{
    Views &v = views();
    const std::size_t i = v.indexOf(view);
    if (!view || i == v.objects.size())
        return false;
    v.erase(i);
    return true;
}

bool ViewWidgetContainer::containsView(const GL::RenderObject *view)
{
    return view && views().indexOf(view) < views().objects.size();
}

const std::vector<GL::RenderObject *> &ViewWidgetContainer::getViews()
{
    return views().views;
}

ViewWidgetContainer::Iterator ViewWidgetContainer::getWidgetBegin()
{
    return views().views.cbegin();
}

ViewWidgetContainer::Iterator ViewWidgetContainer::getWidgetEnd()
{
    return views().views.cend();
}

} // namespace Vaq::GApp
