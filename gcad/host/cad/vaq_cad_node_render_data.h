// AbstractNodeRenderData: what a renderer keeps for one leaf of a mesh's spatial tree (its GPU
// data). The leaf holds it while linked, tells it why it is outdated through the
// modification reason, and calls nodeDropped when the leaf goes away (a new tree, a deleted
// element); the renderer owns it and decides when to delete it.
#pragma once

namespace Vaq::CAD {

class BspNode;
class PolyBase;

class AbstractNodeRenderData
{
public:
    // Why the data no longer matches its leaf. Whole-node selection changes keep the data
    // usable (only the selected and unselected halves swap); every other reason means rebuild.
    enum ModificationReason_t : unsigned {
        MR_NONE = 0,
        MR_NODE_SELECTED = 1, // every visible point and triangle of the leaf is selected now
        MR_NODE_UNSELECTED = 2, // none is selected now
        MR_FLAGS = 3, // selection, visibility or preview changed in part of the leaf
        MR_VALUES = 4, // colours, deviations, tolerances
        MR_GEOMETRY = 5, // normals or the offset surface
        MR_LEGEND = 6, // the colour map the data was made for changed (set by the renderer)
    };

    // Not attached yet: BspNode::setNodeRenderData does that. Throws ProgError "null node".
    explicit AbstractNodeRenderData(BspNode *node);
    // Detaches from the leaf if still attached.
    virtual ~AbstractNodeRenderData();

    AbstractNodeRenderData(const AbstractNodeRenderData &) = delete;
    AbstractNodeRenderData &operator=(const AbstractNodeRenderData &) = delete;

    // The leaf drops this data: it is detached already and must not use the leaf again.
    virtual void nodeDropped() = 0;

    // The leaf; read it only while isLinked.
    BspNode *getNode() const { return m_node; }
    // The mesh of the leaf; usable as a key after the leaf is gone.
    PolyBase *getPoly() const { return m_poly; }
    bool isLinked() const { return m_linked; }
    // Detaches from the leaf without notification.
    void removeLinks();

    unsigned getModificationReason() const { return m_modification_reason; }
    void setModificationReason(unsigned reason) { m_modification_reason = reason; }

private:
    friend class BspNode;

    BspNode *m_node;
    PolyBase *m_poly;
    bool m_linked = false;
    unsigned m_modification_reason = MR_NONE;
};

} // namespace Vaq::CAD
