// GLNodeListener: how GPU mesh nodes reach the registry that owns the GPU side of all nodes
// (the node container). A node reports its creation, that the element model dropped it,
// that its buffer objects must go, and its destruction. While no listener is installed,
// nodes live on their own and have no buffers.
#pragma once

namespace Vaq::GCAD {

class GLNode;

class GLNodeListener
{
public:
    virtual ~GLNodeListener() = default;

    // From the node's constructor, once it is attached to its leaf.
    virtual void nodeCreated(GLNode *node) = 0;
    // The leaf went away; the node is detached already and waits to be deleted.
    virtual void nodeDropped(GLNode *node) = 0;
    // Clearing: the node's buffer objects are to be released and their memory accounted.
    virtual void releaseBuffers(GLNode *node) = 0;
    // From the node's destructor, before it clears its data.
    virtual void nodeDestroyed(GLNode *node) = 0;

    // The installed listener, or null; GUI thread only.
    static GLNodeListener *getListener() { return _listener; }
    static void setListener(GLNodeListener *listener) { _listener = listener; }

private:
    static GLNodeListener *_listener;
};

} // namespace Vaq::GCAD
