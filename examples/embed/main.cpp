// gcad_embed: the smallest application of libVaqGCAD. It starts the library, shows one mesh in
// an off-screen view and writes the view's picture as a PNG:
//   gcad_embed [PICTURE.png]
// It exits 1 when the picture shows nothing but the background.

#include "gcad/gcad_library.h"
#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QImage>

#include <cstdio>
#include <memory>

namespace {

// A view shows what its render callback hands out: here one mesh on a white background.
class MeshView : public Vaq::GCAD::RenderCallback
{
public:
    explicit MeshView(Vaq::CAD::PolyBase *mesh)
        : m_mesh(mesh)
    {
    }

    const Vaq::CAD::Properties::Global *getGlobalProperties() const override { return &m_global; }
    bool acceptsObject(const Vaq::TObject *object) override { return object == m_mesh; }
    std::vector<Vaq::CAD::ElementAndStageImp> getElementsForDrawing() override
    {
        return { { m_mesh, Vaq::CAD::StageIdentifier::NO_STAGE } };
    }
    unsigned getNumberOfPointsForDrawing() const override
    {
        return m_mesh->getNumberOfPoints(Vaq::CAD::StageIdentifier::NO_STAGE);
    }

private:
    Vaq::CAD::PolyBase *m_mesh;
    Vaq::CAD::Properties::Global m_global { Vaq::Color(255, 255, 255) };
};

} // namespace

int main(int argc, char **argv)
{
    const Vaq::GL::HeadlessApplication application(argc, argv);
    const char *picture = argc > 1 ? argv[1] : "gcad_embed.png";
    QString error;
    if (!Vaq::GL::HeadlessApplication::startGL(&error)) {
        std::fprintf(stderr, "gcad_embed: no OpenGL: %s\n", qPrintable(error));
        return 1;
    }

    Vaq::Cfg::CfgNode &configuration = Vaq::Cfg::getRoot();
    Vaq::GCAD::InitDefaults(&configuration);
    Vaq::GCAD::InitLibrary(&configuration);

    QImage image;
    {
        // A smooth cap of 64 x 64 vertices; the mesh builds its spatial tree for drawing.
        const std::unique_ptr<Vaq::CAD::PolyBase> mesh = Vaq::CAD::createDomeMesh(64, true);
        mesh->updateVisualization(Vaq::CAD::StageIdentifier::NO_STAGE, true, false);
        MeshView callback(mesh.get());
        // The view goes before its callback, and both before the library closes.
        const std::unique_ptr<Vaq::GL::RenderObject> view(
            Vaq::GL::RenderObject::createRenderObject(&callback, 320, 240));
        Vaq::BaVec3d<double> rotation;
        Vaq::GL::ViewCreator::getViewForName(QStringLiteral("iso"), &rotation);
        view->setRotation(rotation);
        view->fitView();
        view->repaintWidget();
        image = view->getRenderedImage();
    }

    Vaq::GApp::CommandContainer::deleteAll();
    Vaq::GCAD::CloseLibrary();
    Vaq::GCAD::CloseDefaults(&configuration);

    if (!image.save(QString::fromLocal8Bit(picture), "PNG")) {
        std::fprintf(stderr, "gcad_embed: cannot write %s\n", picture);
        return 1;
    }
    long covered = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            covered += image.pixelColor(x, y) != QColor(Qt::white);
    std::printf("wrote %s: %dx%d pixels, %ld of them show the mesh\n", picture, image.width(), image.height(),
        covered);
    return covered > 0 ? 0 : 1;
}
