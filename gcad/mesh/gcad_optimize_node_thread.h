// OptimizeNodeThread: a worker that prepares one GPU mesh node. The mesh renderer starts one
// per processor within a drawing step and waits for all of them; the GUI thread touches
// neither the node nor the element meanwhile.
#pragma once

#include "gcad/host/base/vaq_thread.h"

#include <atomic>
#include <exception>

namespace Vaq::GCAD {

class GLNode;

class OptimizeNodeThread : public Thread
{
public:
    // node (not owned) is prepared for the render flags; renderMode is the current widget
    // options' render mode, read by the caller on the GUI thread.
    OptimizeNodeThread(GLNode *node, unsigned flags, int renderMode);
    ~OptimizeNodeThread() override;

    // After wait(): throws what the preparation threw, so that the error reaches the GUI
    // thread instead of ending the process. Call it before reading the node.
    void rethrowError() const;

protected:
    void run() override;

private:
    GLNode *m_node;
    unsigned m_flags;
    int m_render_mode;
    std::exception_ptr m_error;
    // Set last by the worker and read by rethrowError: an ordering that race checkers can see,
    // which they cannot inside QThread::wait.
    std::atomic<bool> m_finished { false };
};

} // namespace Vaq::GCAD
