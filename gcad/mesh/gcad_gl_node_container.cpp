#include "gcad/mesh/gcad_gl_node_container.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <unordered_map>

namespace Vaq::GCAD {

GLNodeContainer *GLNodeContainer::_instance = nullptr;

namespace {

// The frame buffer needs this much per screen pixel beside the nodes.
constexpr std::uint64_t SCREEN_RESERVE_PER_PIXEL = 20;

QSize defaultScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

} // namespace

GLNodeContainer::GLNodeContainer()
{
    if (_instance)
        VAQ_PROG_ERROR("Vaq::GCAD::GLNodeContainer::GLNodeContainer", "only one instance allowed");
    _instance = this;
}

GLNodeContainer::~GLNodeContainer()
{
    deleteAllNodes();
    _instance = nullptr;
}

std::uint64_t GLNodeContainer::computeBudget(unsigned memoryMB, const QSize &screenSize)
{
    const std::uint64_t memory = std::uint64_t(memoryMB) * 1048576;
    const std::uint64_t reserve = std::uint64_t(std::max(0, screenSize.width()))
        * std::uint64_t(std::max(0, screenSize.height())) * SCREEN_RESERVE_PER_PIXEL;
    return reserve < memory ? memory - reserve : memory;
}

void GLNodeContainer::addNode(GLNode *node)
{
    if (!m_registered.insert(node).second)
        VAQ_PROG_ERROR("Vaq::GCAD::GLNodeContainer::addNode", "node has already been registered");
}

void GLNodeContainer::removeNode(GLNode *node) noexcept
{
    if (node->isOnGPU()) {
        node->releaseBuffers();
        // A destructor cannot throw: what saveFromGPU would throw is traced instead.
        if (!unaccount(node))
            VAQ_TRACE("Vaq::GCAD::GLNodeContainer::removeNode", QStringLiteral("double delete node"));
    }
    node->removeLinks();
    m_registered.erase(node);
    m_pending.erase(node);
}

void GLNodeContainer::unlinkNode(GLNode *node)
{
    node->removeLinks();
    m_registered.erase(node);
    m_pending.insert(node);
}

void GLNodeContainer::removeNodes(const CAD::Element *element)
{
    std::vector<GLNode *> nodes;
    for (GLNode *node : m_registered) {
        if (node->getPoly() == element)
            nodes.push_back(node);
    }
    for (GLNode *node : nodes)
        unlinkNode(node);
}

void GLNodeContainer::deletePendingNodes()
{
    // Each node leaves the set from its destructor.
    while (!m_pending.empty())
        delete *m_pending.begin();
}

void GLNodeContainer::deleteAllNodes()
{
    deletePendingNodes();
    while (!m_registered.empty())
        delete *m_registered.begin();
}

bool GLNodeContainer::ensureOnGPU(GLNode *node)
{
    if (m_budget_pending) {
        const unsigned memoryMB = GL::WidgetOptions::getInstance()->getCurrentWidgetOptions().memoryMB;
        m_budget_bytes = computeBudget(memoryMB, defaultScreenSize());
        m_budget_pending = false;
    }
    if (node->isOnGPU())
        return true;
    if (m_budget_bytes <= m_used_bytes)
        return false;
    node->restoreVBO();
    // Only what reached the GPU is accounted, so that saving it later balances the account.
    if (!node->isOnGPU())
        return false;
    m_used_bytes += node->getGPUSize();
    ++m_nodes_on_gpu;
    return true;
}

void GLNodeContainer::saveFromGPU(GLNode *node, bool discard)
{
    if (!node->isOnGPU())
        return;
    if (discard)
        node->releaseBuffers();
    else if (!node->downloadFromGPU())
        return;
    if (!unaccount(node))
        VAQ_PROG_ERROR("Vaq::GCAD::GLNodeContainer::saveFromGPU", "double delete node");
}

bool GLNodeContainer::unaccount(const GLNode *node)
{
    const std::uint64_t size = node->getGPUSize();
    if (m_used_bytes < size)
        return false;
    m_used_bytes -= size;
    --m_nodes_on_gpu;
    return true;
}

std::vector<GLNode *> GLNodeContainer::collectInvisibleNodes() const
{
    // A mesh has many nodes: the open views are asked about each mesh once.
    std::unordered_map<const CAD::Element *, bool> shown;
    std::vector<GLNode *> invisible;
    for (GLNode *node : m_registered) {
        const auto [entry, added] = shown.try_emplace(node->getPoly(), false);
        if (added)
            entry->second = RenderCallback::isElementShownInOpenViews(node->getPoly());
        if (!entry->second)
            invisible.push_back(node);
    }
    return invisible;
}

void GLNodeContainer::saveInvisibleNodes()
{
    for (GLNode *node : collectInvisibleNodes())
        saveFromGPU(node, false);
}

void GLNodeContainer::deleteInvisibleNodes()
{
    deletePendingNodes();
    for (GLNode *node : collectInvisibleNodes())
        delete node;
}

void GLNodeContainer::saveAllNodes()
{
    for (GLNode *node : m_registered)
        saveFromGPU(node, false);
}

} // namespace Vaq::GCAD
