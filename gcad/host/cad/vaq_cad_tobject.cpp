#include "gcad/host/cad/vaq_cad_tobject.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <algorithm>

namespace Vaq {

TObject::~TObject()
{
    m_being_destroyed = true;
    // Take one notifier at a time off the front: a notification may delete other notifiers
    // (which then leave the list themselves) or attach new ones, so no iterator survives it.
    while (!m_notifiers.empty()) {
        TObjectDestroyNotifier *notifier = m_notifiers.front();
        m_notifiers.erase(m_notifiers.begin());
        notifier->m_object = nullptr;
        notifier->objectDestroyed(this);
    }
    while (!m_children.empty()) {
        TObject *child = m_children.front();
        m_children.erase(m_children.begin());
        child->m_parent = nullptr;
        delete child;
    }
    if (m_parent)
        m_parent->takeChild(this);
}

TObject *TObject::getChild(std::size_t index) const
{
    if (index >= m_children.size())
        VAQ_PROG_ERROR("Vaq::TObject::getChild", "child index out of range");
    return m_children[index];
}

int TObject::indexOfChild(const TObject *child) const
{
    const auto it = std::find(m_children.begin(), m_children.end(), child);
    return it == m_children.end() ? -1 : int(it - m_children.begin());
}

bool TObject::isAncestorOf(const TObject *object) const
{
    for (const TObject *o = object; o; o = o->m_parent) {
        if (o == this)
            return true;
    }
    return false;
}

void TObject::checkNewChild(const TObject *child, const char *function) const
{
    if (!child)
        VAQ_PROG_ERROR(function, "null child");
    if (child->m_parent)
        VAQ_PROG_ERROR(function, "object already has a parent");
    if (child->isAncestorOf(this))
        VAQ_PROG_ERROR(function, "child would contain its own parent");
}

void TObject::addChild(TObject *child)
{
    checkNewChild(child, "Vaq::TObject::addChild");
    m_children.push_back(child);
    child->m_parent = this;
}

void TObject::insertChild(std::size_t index, TObject *child)
{
    checkNewChild(child, "Vaq::TObject::insertChild");
    if (index > m_children.size())
        VAQ_PROG_ERROR("Vaq::TObject::insertChild", "child index out of range");
    m_children.insert(m_children.begin() + std::ptrdiff_t(index), child);
    child->m_parent = this;
}

TObject *TObject::takeChild(TObject *child)
{
    const int index = indexOfChild(child);
    if (index < 0)
        return nullptr;
    m_children.erase(m_children.begin() + index);
    child->m_parent = nullptr;
    return child;
}

bool TObject::removeChild(TObject *child)
{
    if (!takeChild(child))
        return false;
    delete child;
    return true;
}

void TObject::detachNotifier(TObjectDestroyNotifier *notifier)
{
    const auto it = std::find(m_notifiers.begin(), m_notifiers.end(), notifier);
    if (it != m_notifiers.end())
        m_notifiers.erase(it);
}

TObjectDestroyNotifier::TObjectDestroyNotifier(TObject *object)
    : m_object(object)
{
    if (!object)
        VAQ_PROG_ERROR("Vaq::TObjectDestroyNotifier::TObjectDestroyNotifier", "null object");
    object->m_notifiers.push_back(this);
}

TObjectDestroyNotifier::~TObjectDestroyNotifier()
{
    if (m_object)
        m_object->detachNotifier(this);
}

} // namespace Vaq
