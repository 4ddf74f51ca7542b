// Drawing a strain grid of 2000 x 2000 points (a bulged panel with a smooth strain field, about
// four million facets of eight triangles each) through the strain renderer, as one whole
// repaint of a 1024 x 1024 view, against the baseline of the same triangles (the same
// tessellated vertices, normals and colour-scale coordinates, shared between neighbouring
// facets) uploaded once into one plain buffer object and drawn with one glDrawElements under the
// same GL state and texture, in a second view of the same size and camera on the same context.
// Both must draw the same picture.
#include "apps/scene/scene_element_list_callback.h"
#include "bench/median_reporter.h"
#include "bench/rotation_view.h"
#include "gcad/host/cad/vaq_cad_strain.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_texture.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

using namespace Vaq;
using namespace Vaq::GCAD;

namespace {

constexpr unsigned SIDE = 2000;
constexpr int VIEW_SIZE = 1024;
const BaVec3d<double> ROTATION { -0.6, 0.0, 0.4 };
const CAD::StageIdentifier STAGE = CAD::StageIdentifier::NO_STAGE;

std::unique_ptr<CAD::Strain> makePanel()
{
    std::vector<BaVec3d<double>> positions;
    std::vector<float> values;
    positions.reserve(std::size_t(SIDE) * SIDE);
    values.reserve(std::size_t(SIDE) * SIDE);
    for (unsigned row = 0; row < SIDE; ++row) {
        const double v = row / double(SIDE - 1) - 0.5;
        for (unsigned column = 0; column < SIDE; ++column) {
            const double u = column / double(SIDE - 1) - 0.5;
            const double bulge = std::exp(-(u * u + v * v) / 0.08);
            positions.emplace_back(u, v, 0.2 * bulge);
            values.push_back(float(bulge * (0.8 + 0.2 * std::sin(12.0 * u))));
        }
    }
    auto strain = std::make_unique<CAD::Strain>(QStringLiteral("panel"));
    strain->setGrid(SIDE, SIDE, positions, values);
    strain->getElemProperties()->colorMapEnabled = true;
    return strain;
}

// The baseline: every facet tessellated as the strain renderer does it (the base's addQuadFan),
// neighbours sharing their corners and edge midpoints within bands of as many rows as 16-bit
// vertex ids address, all in one buffer object with 32-bit indices, drawn at once.
class PlainStrainRenderer : public CADGLRenderer
{
public:
    explicit PlainStrainRenderer(RenderCallback *callback)
        : CADGLRenderer(callback)
    {
        m_supported_types = { CAD::ElementCreator::STRAIN_GRID };
    }
    ~PlainStrainRenderer() override
    {
        if (m_buffers[0])
            GL::glDeleteBuffers(2, m_buffers);
        GL::TextureManager::_manager.deleteTexture(m_texture);
    }

protected:
    void preDrawInternal(unsigned, int) override
    {
        const auto &strain = static_cast<const CAD::Strain &>(*m_current_element);
        if (!m_buffers[0])
            upload(strain);
        ::glEnable(GL_COLOR_MATERIAL);
        initMaterial(m_current_element, false, false, false);
    }
    bool drawInternal() override
    {
        ::glColor4ub(255, 255, 255, 255);
        GL::TextureManager::_manager.enableTexture(m_texture, GL_TEXTURE0, GL_MODULATE);
        GL::glBindBuffer(GL_ARRAY_BUFFER, m_buffers[0]);
        GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_buffers[1]);
        ::glEnableClientState(GL_VERTEX_ARRAY);
        ::glEnableClientState(GL_NORMAL_ARRAY);
        ::glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        ::glVertexPointer(3, GL_FLOAT, 0, nullptr);
        ::glNormalPointer(GL_FLOAT, 0, reinterpret_cast<const void *>(std::size_t(m_vertices) * 12));
        ::glTexCoordPointer(2, GL_FLOAT, 0, reinterpret_cast<const void *>(std::size_t(m_vertices) * 24));
        ::glDrawElements(GL_TRIANGLES, GLsizei(m_indices), GL_UNSIGNED_INT, nullptr);
        ::glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        ::glDisableClientState(GL_NORMAL_ARRAY);
        ::glDisableClientState(GL_VERTEX_ARRAY);
        GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
        GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        GL::TextureManager::_manager.disableTexture(GL_TEXTURE0);
        return true;
    }
    void postDrawInternal(int) override { ::glDisable(GL_COLOR_MATERIAL); }

private:
    void upload(const CAD::Strain &strain)
    {
        // The renderer's colour-scale texture: the scale in the lower two rows.
        const std::vector<Color> &scale = strain.getColorMapping();
        QImage image(int(scale.size()), 4, QImage::Format_RGBA8888);
        const Color &none = m_element_properties->strain.noValueColor;
        for (int i = 0; i < image.width(); ++i)
            for (int row = 0; row < 4; ++row) {
                const Color &c = row < 2 ? none : scale[std::size_t(i)];
                image.setPixelColor(i, row, QColor(c.r, c.g, c.b, 255));
            }
        m_texture = GL::TextureManager::_manager.createTexture(GL_CLAMP);
        GL::TextureManager::_manager.setTextureImage(m_texture, image);
        GL::TextureManager::_manager.setFiltering(m_texture, GL_NEAREST, GL_NEAREST);

        std::vector<BaVec3d<float>> positions, normals;
        std::vector<float> coordinates;
        std::vector<uint32_t> indices;
        const unsigned bandRows = NEW_VERTEX / (4 * SIDE + 2) - 1;
        std::vector<BaVec3d<float>> bandPositions(NEW_VERTEX), bandNormals(NEW_VERTEX);
        std::vector<float> bandCoordinates(2 * NEW_VERTEX);
        CAD::Strain::MappedPoint corners[4];
        for (unsigned first = 0; first + 1 < SIDE; first += bandRows) {
            // Corners and the midpoints of the edges along each grid line of the band, the
            // midpoints of the edges across between a line and the next.
            std::vector<uint16_t> corner((bandRows + 1) * SIDE, NEW_VERTEX);
            std::vector<uint16_t> along((bandRows + 1) * SIDE, NEW_VERTEX);
            std::vector<uint16_t> across(bandRows * SIDE, NEW_VERTEX);
            unsigned counter = 0;
            const auto base = uint32_t(positions.size());
            for (unsigned row = first; row < std::min(first + bandRows, SIDE - 1); ++row) {
                for (unsigned column = 0; column + 1 < SIDE; ++column) {
                    if (!strain.getDrawFacets(STAGE, column, row, corners))
                        continue;
                    const unsigned at = (row - first) * SIDE + column, below = at + SIDE;
                    uint16_t *kept[9] = { &corner[at], &corner[at + 1], &corner[below + 1], &corner[below],
                        nullptr, &across[at], &along[at], &across[at + 1], &along[below] };
                    uint16_t ids[9];
                    for (int i = 0; i < 9; ++i)
                        ids[i] = kept[i] ? *kept[i] : NEW_VERTEX;
                    addQuadFan(corners, bandPositions.data(), bandNormals.data(), bandCoordinates.data(),
                        nullptr, &counter, ids);
                    uint16_t fan[24];
                    unsigned n = 0;
                    addQuadFanIndices(fan, &n, ids);
                    for (unsigned i = 0; i < n; ++i)
                        indices.push_back(base + fan[i]);
                    for (int i = 0; i < 9; ++i)
                        if (kept[i])
                            *kept[i] = ids[i];
                }
            }
            positions.insert(positions.end(), bandPositions.begin(), bandPositions.begin() + counter);
            normals.insert(normals.end(), bandNormals.begin(), bandNormals.begin() + counter);
            coordinates.insert(
                coordinates.end(), bandCoordinates.begin(), bandCoordinates.begin() + 2 * counter);
        }
        m_vertices = unsigned(positions.size());
        m_indices = unsigned(indices.size());
        GL::glGenBuffers(2, m_buffers);
        GL::glBindBuffer(GL_ARRAY_BUFFER, m_buffers[0]);
        const std::size_t n = m_vertices;
        GL::glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(n * 32), nullptr, GL_STATIC_DRAW);
        GL::glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(n * 12), positions.data());
        GL::glBufferSubData(GL_ARRAY_BUFFER, GLintptr(n * 12), GLsizeiptr(n * 12), normals.data());
        GL::glBufferSubData(GL_ARRAY_BUFFER, GLintptr(n * 24), GLsizeiptr(n * 8), coordinates.data());
        GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
        GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_buffers[1]);
        GL::glBufferData(
            GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * 4), indices.data(), GL_STATIC_DRAW);
        GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }

    GLuint m_buffers[2] = { 0, 0 };
    unsigned m_vertices = 0;
    unsigned m_indices = 0;
    GL::Texture *m_texture = nullptr;
};

struct DrawScene
{
    DrawScene()
    {
        strain = makePanel();
        library.show(strain.get(), STAGE);
        plain.show(strain.get(), STAGE);
        plain.getRendererContainer().freeAll();
        plain.getRendererContainer().registerRenderer(new PlainStrainRenderer(&plain));
        for (auto &[callback, view] : { std::pair(&library, &libraryView), std::pair(&plain, &plainView) }) {
            view->reset(GL::RenderObject::createRenderObject(callback, VIEW_SIZE, VIEW_SIZE));
            (*view)->setRotation(ROTATION);
            (*view)->repaintWidget(); // the baseline uploads its buffer
        }
    }

    static void paint(GL::RenderObject &view)
    {
        view.repaintWidget();
        view.waitForRendering();
    }

    std::unique_ptr<CAD::Strain> strain;
    Gcad::Scene::ElementListCallback library, plain;
    std::unique_ptr<GL::RenderObject> libraryView, plainView;
};

std::unique_ptr<DrawScene> _scene;
constexpr double TRIANGLES = 8.0 * (SIDE - 1) * (SIDE - 1);

void BM_StrainRenderer(benchmark::State &state)
{
    for (auto _ : state)
        DrawScene::paint(*_scene->libraryView);
    state.counters["triangles/s"]
        = benchmark::Counter(double(state.iterations()) * TRIANGLES, benchmark::Counter::kIsRate);
}

void BM_OneDrawElements(benchmark::State &state)
{
    for (auto _ : state)
        DrawScene::paint(*_scene->plainView);
    state.counters["triangles/s"]
        = benchmark::Counter(double(state.iterations()) * TRIANGLES, benchmark::Counter::kIsRate);
}

GCAD_WALL_CLOCK_BENCHMARK(BM_StrainRenderer, 2.0, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_OneDrawElements, 2.0, 3);

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    _scene = std::make_unique<DrawScene>();
    if (!GL::glGenBuffers) {
        std::fprintf(stderr, "the driver offers no buffer objects: there is no baseline\n");
        return 1;
    }
    DrawScene::paint(*_scene->libraryView);
    DrawScene::paint(*_scene->plainView);
    const int differing = Bench::RotationView::differingPixels(
        _scene->libraryView->getRenderedImage(), _scene->plainView->getRenderedImage());
    std::printf("%u x %u strain grid (%.0f triangles) in a %d x %d view; the renderer's picture and the "
                "baseline's: %s\n",
        SIDE, SIDE, TRIANGLES, VIEW_SIZE, VIEW_SIZE,
        differing == 0 ? "identical" : qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
    std::fflush(stdout);

    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    double renderer = 0.0, baseline = 0.0;
    if (reporter.median("BM_StrainRenderer", &renderer) && reporter.median("BM_OneDrawElements", &baseline))
        std::printf(
            "medians: renderer %.1f ms, one glDrawElements %.1f ms; the renderer draws at %.2f of the "
            "baseline's rate\n",
            renderer, baseline, baseline / renderer);
    benchmark::Shutdown();
    _scene.reset();
    return differing == 0 ? 0 : 1;
}
