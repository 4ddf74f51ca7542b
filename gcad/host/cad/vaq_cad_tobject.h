// TObject: a node of an owning object tree. Every object has at most one parent and an ordered
// list of children that it owns; deleting an object deletes its children. Destroy notifiers
// let other parts of the program drop what they keep about an object before it goes away.
#pragma once

#include <cstddef>
#include <vector>

namespace Vaq {

class TObjectDestroyNotifier;

class TObject
{
public:
    TObject() = default;
    // Notifies the destroy notifiers (in the order they were attached), then deletes the
    // children (first child first), then leaves the parent's child list.
    virtual ~TObject();

    TObject(const TObject &) = delete;
    TObject &operator=(const TObject &) = delete;

    TObject *getParent() const { return m_parent; }
    const std::vector<TObject *> &getChildren() const { return m_children; }
    std::size_t getNumberOfChildren() const { return m_children.size(); }
    // Throws ProgError "child index out of range".
    TObject *getChild(std::size_t index) const;
    // The position of child in the child list, or -1 when it is not a child of this object.
    int indexOfChild(const TObject *child) const;
    // True when this object is object itself or lies above it in the tree.
    bool isAncestorOf(const TObject *object) const;

    // Appends child and takes ownership of it. Throws ProgError "null child", "object already
    // has a parent" or "child would contain its own parent"; nothing changes then.
    void addChild(TObject *child);
    // Inserts child before position index (index == getNumberOfChildren() appends); the same
    // errors as addChild, and "child index out of range".
    void insertChild(std::size_t index, TObject *child);
    // Releases child from this object without deleting it; the caller owns it afterwards.
    // Returns child, or null when it is not a child of this object.
    TObject *takeChild(TObject *child);
    // Deletes child. Returns false (and deletes nothing) when it is not a child of this object.
    bool removeChild(TObject *child);

    // True while the destructor runs (notifiers may look at it).
    bool isBeingDestroyed() const { return m_being_destroyed; }

private:
    friend class TObjectDestroyNotifier;

    void checkNewChild(const TObject *child, const char *function) const;
    void detachNotifier(TObjectDestroyNotifier *notifier);

    TObject *m_parent = nullptr;
    std::vector<TObject *> m_children;
    std::vector<TObjectDestroyNotifier *> m_notifiers;
    bool m_being_destroyed = false;
};

// A watcher of one TObject. The base constructor attaches it to the object; when the object is
// destroyed, objectDestroyed is called while the object's TObject part is still intact (derived
// parts are already gone, so use the pointer as a key only) and the notifier is detached.
// A notifier deleted before its object detaches itself. A notifier may delete itself or any
// other notifier of the same object from inside objectDestroyed; it must not delete the object.
class TObjectDestroyNotifier
{
public:
    // Throws ProgError "null object".
    explicit TObjectDestroyNotifier(TObject *object);
    virtual ~TObjectDestroyNotifier();

    TObjectDestroyNotifier(const TObjectDestroyNotifier &) = delete;
    TObjectDestroyNotifier &operator=(const TObjectDestroyNotifier &) = delete;

    // The watched object; null once it has been destroyed.
    TObject *getObject() const { return m_object; }

protected:
    virtual void objectDestroyed(TObject *object) = 0;

private:
    friend class TObject;

    TObject *m_object;
};

} // namespace Vaq
