// GLNodeContainer: the registry of all GPU mesh nodes and the keeper of their GPU memory. It
// moves nodes into buffer objects within a budget taken from the graphics card's memory and
// back out again, and frees the data of elements no open view draws any more. Nodes the
// element model dropped wait here until the GUI thread can delete them with the context
// current. One instance per process (library start-up); GUI thread only.
#pragma once

#include <QSize>

#include <cstdint>
#include <functional>
#include <set>
#include <vector>

namespace Vaq::CAD {
class Element;
}

namespace Vaq::GCAD {

class GLNode;

class GLNodeContainer
{
public:
    // Throws ProgError "only one instance allowed" while another container exists.
    GLNodeContainer();
    // Deletes every node still pending or registered.
    ~GLNodeContainer();

    GLNodeContainer(const GLNodeContainer &) = delete;
    GLNodeContainer &operator=(const GLNodeContainer &) = delete;

    // The container, null before library start-up and after shutdown.
    static GLNodeContainer *getInstance() { return _instance; }

    // The budget for a card of memoryMB with a screen of screenSize: the memory less 20 bytes
    // per screen pixel for the frame buffer, or all of it when that reserve does not fit.
    static std::uint64_t computeBudget(unsigned memoryMB, const QSize &screenSize);

    // From the node's constructor. Throws ProgError "node has already been registered".
    void addNode(GLNode *node);
    // From the node's destructor: releases its buffers, detaches it from its leaf and forgets
    // it. Never throws; a broken memory account is traced and reset instead.
    void removeNode(GLNode *node) noexcept;
    // The element model dropped the node's leaf: the node is detached and deleted later.
    void unlinkNode(GLNode *node);
    // The element goes away: its nodes are detached and deleted later, like dropped ones.
    void removeNodes(const CAD::Element *element);
    void deletePendingNodes();
    // The pending nodes, then every registered one.
    void deleteAllNodes();

    // Uploads the node unless the budget is used up; true when its data is on the GPU after.
    // The node that crosses the budget is still uploaded; the next one is refused. The budget
    // is computed at the first call, from the current widget options and the default screen.
    bool ensureOnGPU(GLNode *node);
    // Moves the node's data back to client memory, or with discard drops it. Throws ProgError
    // "double delete node" when the node takes more memory than the account holds (its sizes
    // changed on the GPU, or it was uploaded past the container).
    void saveFromGPU(GLNode *node, bool discard);

    // The registered nodes whose element no open view of this library collected and shows.
    std::vector<GLNode *> collectInvisibleNodes() const;
    // Between repaints (keeping the data) and when the application frees memory (deleting).
    void saveInvisibleNodes();
    void deleteInvisibleNodes();
    // Every registered node leaves the GPU, keeping its data.
    void saveAllNodes();

    bool isRegistered(const GLNode *node) const { return m_registered.count(node) > 0; }
    bool isPending(const GLNode *node) const { return m_pending.count(node) > 0; }
    std::size_t getNumberOfNodes() const { return m_registered.size(); }
    // Memory: 0 before the budget is computed.
    std::uint64_t getBudgetBytes() const { return m_budget_bytes; }
    std::uint64_t getUsedBytes() const { return m_used_bytes; }
    unsigned getNodesOnGPU() const { return m_nodes_on_gpu; }

private:
    // Takes the node's GPU size off the account; false (and no change) when it holds less.
    bool unaccount(const GLNode *node);

    bool m_budget_pending = true;
    // 64 bits: cards have more memory than 32 bits count.
    std::uint64_t m_budget_bytes = 0;
    std::uint64_t m_used_bytes = 0;
    unsigned m_nodes_on_gpu = 0;
    std::set<GLNode *, std::less<>> m_registered;
    std::set<GLNode *, std::less<>> m_pending;

    static GLNodeContainer *_instance;
};

} // namespace Vaq::GCAD
