#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "gcad/mesh/gcad_optimize_node_thread.h"
#include "tests/mesh/mesh_node_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Vaq;
using namespace Vaq::GCAD;
using namespace Vaq::Test;

TEST(OptimizeNodeThread, workersPrepareTheSameBytesAsTheGuiThreadAndPassErrorsOn)
{
    auto dome = CAD::createDomeMesh(40, true);
    const CAD::BspTree tree(dome.get(), *dome->getData(STAGE), 300);
    ASSERT_GT(tree.getAllLeaves().size(), 4u);
    const unsigned flags = RT_TRIANGLES | RT_VERTEX_COLORS;

    // Each leaf's data prepared on a worker, one worker per leaf at the same time.
    std::vector<std::unique_ptr<GLNode>> threaded;
    std::vector<std::unique_ptr<OptimizeNodeThread>> threads;
    for (CAD::BspNode *leaf : tree.getAllLeaves()) {
        threaded.push_back(std::make_unique<GLNode>(STAGE, leaf));
        threads.push_back(std::make_unique<OptimizeNodeThread>(threaded.back().get(), flags, 0));
        threads.back()->start(QThread::InheritPriority);
    }
    for (const auto &thread : threads) {
        thread->wait();
        EXPECT_NO_THROW(thread->rethrowError());
    }
    // An error on a worker reaches the caller.
    GLNode failing(STAGE, tree.getAllLeaves()[0]);
    OptimizeNodeThread failingThread(&failing, RT_POINTS, 9);
    failingThread.start();
    failingThread.wait();
    EXPECT_EQ(progErrorMessage([&] { failingThread.rethrowError(); }), "vertex type not handled");

    for (std::size_t i = 0; i < threaded.size(); ++i) {
        GLNode direct(STAGE, tree.getAllLeaves()[i]);
        direct.prepare(flags, 0);
        const GLNode &worker = *threaded[i];
        ASSERT_EQ(worker.getVertexBytes(), direct.getVertexBytes());
        ASSERT_EQ(worker.getIndexBytes(), direct.getIndexBytes());
        // Bytes of unused normal slots are left unwritten, so compare the positions and
        // colours vertex by vertex and the indices as a whole.
        for (unsigned k = 0; k < direct.getOwnVertexCount() + direct.getForeignVertexCount(); ++k) {
            EXPECT_EQ(position(worker, k), position(direct, k));
            EXPECT_EQ(readAt<Color>(worker.getVertexData(0), k * 28),
                readAt<Color>(direct.getVertexData(0), k * 28));
        }
        EXPECT_EQ(
            indices(worker, 0, worker.getIndexBytes() / 2), indices(direct, 0, direct.getIndexBytes() / 2));
    }
}
