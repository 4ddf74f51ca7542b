#include "gcad/mesh/gcad_color_map_texture.h"

#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_texture.h"

#include <QImage>

#include <cmath>
#include <map>

namespace Vaq::GCAD {

namespace {

using Legend2::ToleranceParams;

std::map<const CAD::Element *, GL::Texture *> _textures;
std::map<const CAD::Element *, GL::Texture *> _dimmed_textures;

Color opaque(Color color)
{
    color.a = 255;
    return color;
}

Color specialColor(const ToleranceParams &params, ToleranceParams::PassType_t type, const Color &fallback)
{
    return opaque(params.isColorValid(type) ? params.getColor(type) : fallback);
}

uint8_t scaled(uint8_t channel, int factor)
{
    return uint8_t(std::lround(channel * factor / 255.0));
}

void drop(std::map<const CAD::Element *, GL::Texture *> &map, const CAD::Element *element)
{
    const auto found = map.find(element);
    if (found != map.end()) {
        GL::TextureManager::_manager.deleteTexture(found->second);
        map.erase(found);
    }
}

// Replaces the texture in map with one showing texels (2 rows of width), or drops it.
bool store(std::map<const CAD::Element *, GL::Texture *> &map, const CAD::Element *element,
    const std::vector<Color> &texels, int width)
{
    GL::TextureManager &manager = GL::TextureManager::_manager;
    drop(map, element);
    GL::Texture *texture = manager.createTexture(GL_CLAMP);
    // The image's top row lands at t = 1: row 1 of the texels goes on top.
    QImage image(width, 2, QImage::Format_RGBA8888);
    for (int row = 0; row < 2; ++row) {
        auto *line = reinterpret_cast<Color *>(image.scanLine(1 - row));
        std::copy(texels.begin() + row * width, texels.begin() + (row + 1) * width, line);
    }
    if (!manager.setTextureImage(texture, image)) {
        manager.deleteTexture(texture);
        return false;
    }
    manager.setFiltering(texture, GL_NEAREST, GL_NEAREST);
    map[element] = texture;
    return true;
}

} // namespace

std::vector<Color> ColorMapTexture::createTexels(
    const Legend2::LegendHandler &legend, const Color &fallback, bool toleranceMode, bool toleranceData)
{
    const unsigned n = legend.getNumberOfRenderColors();
    const ToleranceParams &params = legend.getToleranceParams();
    const Color noValue = specialColor(params, ToleranceParams::PT_NO_VALUE, fallback);
    std::vector<Color> texels;
    texels.reserve(2 * n);
    if (!toleranceMode) {
        for (const Color &color : legend.getIndexedColors())
            texels.push_back(opaque(color));
        const Legend2::ColorMap &map = legend.getColorMap();
        texels.insert(
            texels.end(), n, opaque(map.isUncomputedColorValid() ? map.getUncomputedColor() : fallback));
    } else if (toleranceData) {
        for (const Color &color : legend.getIndexedToleranceColors())
            texels.push_back(opaque(color));
        texels.insert(
            texels.end(), n / 2, specialColor(params, ToleranceParams::PT_INVALID_TOLERANCE, fallback));
        texels.insert(texels.end(), n - n / 2, noValue);
    } else {
        texels.assign(2 * n, noValue);
    }
    return texels;
}

std::vector<Color> ColorMapTexture::dim(std::vector<Color> texels)
{
    for (Color &c : texels)
        c = Color(scaled(c.r, 120), scaled(c.g, 120), scaled(c.b, 120), scaled(c.a, 128));
    return texels;
}

bool ColorMapTexture::build(const CAD::Element *element, bool toleranceMode, bool toleranceData)
{
    const int width = GL::TextureManager::_manager.getMaxTextureSize();
    // The legend needs three texels for its tolerance bands; a smaller limit means no context.
    if (width < 3)
        return false;
    Legend2::LegendHandler &legend = *Legend2::LegendHandler::getInstance();
    legend.setNumberOfRenderColors(unsigned(width));
    const std::vector<Color> texels
        = createTexels(legend, element->getElemProperties()->color, toleranceMode, toleranceData);
    if (!store(_textures, element, texels, width))
        return false;
    if (GL::GLExtensions::isMultitexturingPossible()) {
        drop(_dimmed_textures, element);
        return true;
    }
    return store(_dimmed_textures, element, dim(texels), width);
}

GL::Texture *ColorMapTexture::get(const CAD::Element *element, bool dimmed)
{
    const auto &map = dimmed ? _dimmed_textures : _textures;
    const auto found = map.find(element);
    return found == map.end() ? nullptr : found->second;
}

void ColorMapTexture::remove(const CAD::Element *element)
{
    drop(_textures, element);
    drop(_dimmed_textures, element);
}

} // namespace Vaq::GCAD
