#include "gcad/host/fig2/vaq_fig2_group.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <algorithm>

namespace Vaq::Fig2 {

Element::~Element()
{
    if (m_parent)
        m_parent->remove(this).release(); // we are being deleted already
}

Group::~Group()
{
    // Owned children come back from remove() and are deleted with the temporary; held
    // ones are only let go.
    while (!m_children.empty())
        remove(m_children.back());
}

QRectF Group::getCoveredRect() const
{
    QRectF covered;
    for (const Element *child : m_children) {
        if (!child->isTemporarilyInvisible())
            covered = covered.isNull() ? child->getCoveredRect() : covered.united(child->getCoveredRect());
    }
    return covered;
}

void Group::move(double dx, double dy)
{
    for (Element *child : m_children)
        child->move(dx, dy);
}

void Group::update()
{
    for (Element *child : m_children)
        child->update();
}

void Group::paint(QPainter &painter) const
{
    for (const Element *child : m_children) {
        if (!child->isTemporarilyInvisible())
            child->paint(painter);
    }
}

std::unique_ptr<Element> Group::clone() const
{
    auto copy = std::make_unique<Group>();
    for (const Element *child : m_children) {
        if (std::unique_ptr<Element> childCopy = child->clone()) {
            childCopy->setTemporarilyInvisible(child->isTemporarilyInvisible());
            copy->add(std::move(childCopy));
        }
    }
    return copy;
}

void Group::add(std::unique_ptr<Element> child)
{
    insert(child.get(), true);
    child.release();
}

void Group::add(Element *child)
{
    insert(child, false);
}

void Group::insert(Element *child, bool owned)
{
    for (const Group *ancestor = this; ancestor; ancestor = ancestor->getParent()) {
        if (ancestor == child)
            VAQ_PROG_ERROR("Vaq::Fig2::Group::add", "a group cannot hold itself");
    }
    if (child->m_parent)
        child->m_parent->remove(child).release(); // ownership moves with owned
    child->m_parent = this;
    m_children.push_back(child);
    m_owned.push_back(owned);
}

std::unique_ptr<Element> Group::remove(Element *child)
{
    const ptrdiff_t index = indexOf(child);
    if (index < 0)
        return nullptr;
    const bool owned = m_owned[size_t(index)];
    m_children.erase(m_children.begin() + index);
    m_owned.erase(m_owned.begin() + index);
    child->m_parent = nullptr;
    return std::unique_ptr<Element>(owned ? child : nullptr);
}

ptrdiff_t Group::indexOf(const Element *child) const
{
    const auto found = std::find(m_children.begin(), m_children.end(), child);
    return found == m_children.end() ? -1 : found - m_children.begin();
}

bool Group::canLayerUp(const Element *child) const
{
    const ptrdiff_t index = indexOf(child);
    return index >= 0 && size_t(index) + 1 < m_children.size();
}

bool Group::canLayerDown(const Element *child) const
{
    return indexOf(child) > 0;
}

void Group::layerTop(Element *child)
{
    const ptrdiff_t index = indexOf(child);
    if (index < 0)
        return;
    std::rotate(m_children.begin() + index, m_children.begin() + index + 1, m_children.end());
    const bool owned = m_owned[size_t(index)];
    m_owned.erase(m_owned.begin() + index);
    m_owned.push_back(owned);
}

void Group::layerBottom(Element *child)
{
    const ptrdiff_t index = indexOf(child);
    if (index < 0)
        return;
    std::rotate(m_children.begin(), m_children.begin() + index, m_children.begin() + index + 1);
    const bool owned = m_owned[size_t(index)];
    m_owned.erase(m_owned.begin() + index);
    m_owned.insert(m_owned.begin(), owned);
}

} // namespace Vaq::Fig2
