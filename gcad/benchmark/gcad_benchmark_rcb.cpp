#include "gcad/benchmark/gcad_benchmark_rcb.h"

#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/gl/vaq_gl_render_object.h"

namespace Vaq::GCAD {

using CAD::ElementCreator;
using CAD::StageIdentifier;

namespace {

std::unique_ptr<CAD::PolyBase> createMesh(
    unsigned domeSize, bool withColors, ElementCreator::Element_t type, const QString &name)
{
    std::unique_ptr<CAD::PolyBase> mesh = CAD::createDomeMesh(domeSize, withColors, type);
    mesh->setFileName(name);
    mesh->needsNoBoundary(true);
    mesh->updateVisualization(StageIdentifier::NO_STAGE, true, false);
    return mesh;
}

} // namespace

BenchmarkRCB::BenchmarkRCB() = default;

// The meshes go before the base class, which they tell that they are leaving.
BenchmarkRCB::~BenchmarkRCB() = default;

void BenchmarkRCB::createTestData(unsigned domeSize)
{
    // A plain mesh never shows vertex colours; an inspection mesh shows them on its surface
    // and on its points alike, so every coloured measurement draws them.
    m_plain_mesh = createMesh(domeSize, false, ElementCreator::MESH, QStringLiteral("poly_benchmark"));
    m_color_mesh
        = createMesh(domeSize, true, ElementCreator::MESH_INSPECTION, QStringLiteral("poly_color_benchmark"));
}

bool BenchmarkRCB::measures(const CAD::ElemProp &) const
{
    return true;
}

void BenchmarkRCB::setupRenderCallback()
{
    getRenderObject()->setScale(2.0 * BOX_HALF_WIDTH);
}

bool BenchmarkRCB::acceptsObject(const TObject *object)
{
    return object && (object == m_plain_mesh.get() || object == m_color_mesh.get());
}

std::vector<CAD::ElementAndStageImp> BenchmarkRCB::getElementsForDrawing()
{
    if (CAD::PolyBase *mesh = getMesh())
        return { CAD::ElementAndStageImp(mesh, StageIdentifier::NO_STAGE) };
    return {};
}

unsigned BenchmarkRCB::getNumberOfPointsForDrawing() const
{
    const CAD::PolyBase *mesh = getMesh();
    return mesh ? mesh->getNumberOfPoints(StageIdentifier::NO_STAGE) : 0;
}

bool BenchmarkRCB::getBoundingBox(BaVec3d<double> *min, BaVec3d<double> *max)
{
    *min = BaVec3d<double>(-BOX_HALF_WIDTH, -BOX_HALF_WIDTH, -BOX_HALF_DEPTH);
    *max = BaVec3d<double>(BOX_HALF_WIDTH, BOX_HALF_WIDTH, BOX_HALF_DEPTH);
    return true;
}

} // namespace Vaq::GCAD
