#include "gcad/mesh/gcad_optimize_node_thread.h"

#include "gcad/mesh/gcad_gl_node.h"

namespace Vaq::GCAD {

// The diagnostics name the worker after the mesh drawing code that starts it.
OptimizeNodeThread::OptimizeNodeThread(GLNode *node, unsigned flags, int renderMode)
    : Thread(QStringLiteral("Vaq::GCAD::OptimizeNodeThread::OptimizeNodeThread"), "gcad_r_mesh_draw", 29)
    , m_node(node)
    , m_flags(flags)
    , m_render_mode(renderMode)
{
}

OptimizeNodeThread::~OptimizeNodeThread() = default;

void OptimizeNodeThread::rethrowError() const
{
    if (m_finished.load(std::memory_order_acquire) && m_error)
        std::rethrow_exception(m_error);
}

void OptimizeNodeThread::run()
{
    // An exception must not leave a thread's run: it would end the process.
    try {
        m_node->prepare(m_flags, m_render_mode);
    } catch (...) {
        m_error = std::current_exception();
    }
    m_finished.store(true, std::memory_order_release);
}

} // namespace Vaq::GCAD
