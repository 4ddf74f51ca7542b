// Group: an element that holds others, painted in order (later children on top). A child is
// either owned (deleted with the group) or only held (the caller keeps it alive and may take
// it out again); moving the group moves every child.
#pragma once

#include "gcad/host/fig2/vaq_fig2_element.h"

#include <memory>
#include <vector>

namespace Vaq::Fig2 {

class Group : public Element
{
public:
    Group() = default;
    ~Group() override;

    Type_t getType() const override { return T_GROUP; }
    // The union of the visible children's rectangles; empty without any.
    QRectF getCoveredRect() const override;
    void move(double dx, double dy) override;
    void update() override;
    void paint(QPainter &painter) const override;
    // Copies of the children that can be copied, all owned by the copy.
    std::unique_ptr<Element> clone() const override;

    // Adds a child on top, taking it from its previous group. The first form keeps the
    // child, the second only holds it. Throws ProgError "a group cannot hold itself" when
    // the child would become its own ancestor.
    void add(std::unique_ptr<Element> child);
    void add(Element *child);
    // Takes the child out; returns it when the group owned it, otherwise null. Unknown
    // elements are ignored.
    std::unique_ptr<Element> remove(Element *child);

    const std::vector<Element *> &getChildren() const { return m_children; }

    // Layer order: the top layer is painted last.
    bool canLayerUp(const Element *child) const;
    bool canLayerDown(const Element *child) const;
    void layerTop(Element *child);
    void layerBottom(Element *child);

private:
    void insert(Element *child, bool owned);
    ptrdiff_t indexOf(const Element *child) const;

    std::vector<Element *> m_children;
    std::vector<bool> m_owned;
};

} // namespace Vaq::Fig2
