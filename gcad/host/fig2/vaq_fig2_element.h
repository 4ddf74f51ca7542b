// Element: one item of a 2-D figure (a group, text, line, label or legend). Coordinates are
// millimetres of the figure, x to the right and y downward from the top edge. An element
// belongs to at most one group; deleting it takes it out of that group.
#pragma once

#include <QRectF>

#include <memory>

class QPainter;

namespace Vaq::Fig2 {

class Group;

class Element
{
public:
    // The numbers are those the overlay keys on (label 4, legend 7).
    enum Type_t { T_GROUP = 1, T_TEXT = 2, T_LINE = 3, T_LABEL = 4, T_LEGEND = 7 };

    Element() = default;
    Element(const Element &) = delete;
    Element &operator=(const Element &) = delete;
    virtual ~Element();

    virtual Type_t getType() const = 0;
    Group *getParent() const { return m_parent; }

    // The rectangle the element paints into.
    virtual QRectF getCoveredRect() const = 0;
    virtual void move(double dx, double dy) = 0;
    // Recomputes what the element derives from its settings (text layout, legend layout).
    virtual void update() { }
    // Paints in figure millimetres; the painter's transform maps them to device pixels.
    virtual void paint(QPainter &painter) const = 0;
    // A copy that lives on without the original (a snapshot keeps the overlay's figures as
    // they were when it was taken); null for kinds that cannot be copied.
    virtual std::unique_ptr<Element> clone() const { return nullptr; }

    // Placed by someone other than the figure's owner (the overlay keeps its hands off).
    bool isExternallyManaged() const { return m_externally_managed; }
    void setExternallyManaged(bool managed) { m_externally_managed = managed; }
    // Hidden for now without being removed; a hidden element paints nothing.
    bool isTemporarilyInvisible() const { return m_temporarily_invisible; }
    void setTemporarilyInvisible(bool invisible) { m_temporarily_invisible = invisible; }
    // May be moved by an automatic label layout.
    bool isAutoPlacement() const { return m_auto_placement; }
    void setAutoPlacement(bool on) { m_auto_placement = on; }

private:
    friend class Group;
    Group *m_parent = nullptr;
    bool m_externally_managed = false;
    bool m_temporarily_invisible = false;
    bool m_auto_placement = false;
};

} // namespace Vaq::Fig2
