// The strain renderer: which passes an element gets, their GL set-up, and every pass but the
// facets (gcad_r_strain_facets.cpp). Points, lines, boundary, vectors, isolines and labels are
// each drawn in one step; they are few beside the facets' tessellated fans.
#include "gcad/renderers/gcad_r_strain.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QFont>

#include <algorithm>
#include <cmath>
#include <utility>

namespace Vaq::GCAD {

using CAD::ElementCreator;

namespace {

// Isolines lie this many pixels towards the viewer, in front of the facets they run over.
constexpr double ISOLINE_LIFT_PIXELS = 1.0;
constexpr double LABEL_FONT_SIZE = 9.0;

void vertex(const BaVec3d<float> &p)
{
    ::glVertex3f(p.x, p.y, p.z);
}

void vertex(const BaVec3d<double> &p)
{
    ::glVertex3d(p.x, p.y, p.z);
}

// The texture coordinate of a value on the value texture's scale or no-value rows.
void valueCoordinate(float value)
{
    ::glTexCoord2f(value, value == CAD::NO_VALUE ? 0.75f : 0.25f);
}

} // namespace

StrainRenderer::StrainRenderer(RenderCallback *callback)
    : CADGLRenderer(callback)
{
    m_supported_types
        = { ElementCreator::STRAIN_GRID, ElementCreator::STRAIN_SECTION, ElementCreator::STRAIN_STAGE_POINT };
}

StrainRenderer::~StrainRenderer()
{
    GL::TextureManager::_manager.deleteTexture(m_value_texture);
    GL::TextureManager::_manager.deleteTexture(m_overlay_texture);
}

std::vector<unsigned> StrainRenderer::getRenderTypes() const
{
    const CAD::ElemProp &p = *m_element_properties;
    std::vector<unsigned> types;
    switch (m_current_element->getType()) {
    case ElementCreator::STRAIN_GRID: {
        const CAD::StrainDisplay &s = p.strain;
        const std::pair<bool, unsigned> switches[]
            = { { p.showPoints, SRT_POINTS }, { p.showTriangles, SRT_FACETS }, { p.showEdges, SRT_LINES },
                  { p.showBoundary, SRT_BOUNDARY }, { s.displacementDirections, SRT_DISPLACEMENT_DIRECTIONS },
                  { s.coordinateDirections, SRT_COORDINATE_DIRECTIONS },
                  { s.majorDirections, SRT_MAJOR_DIRECTIONS }, { s.minorDirections, SRT_MINOR_DIRECTIONS },
                  { s.isolines, SRT_ISOLINES }, { s.isolineNormals, SRT_ISOLINE_NORMALS },
                  { s.isolineLabels, SRT_ISOLINE_LABELS } };
        for (const auto &[on, type] : switches)
            if (on)
                types.push_back(type);
        break;
    }
    case ElementCreator::STRAIN_SECTION:
        types.push_back(SRT_SECTION_LINES);
        if (p.strain.sectionPoints)
            types.push_back(SRT_SECTION_POINTS);
        if (p.strain.sectionSpheres)
            types.push_back(SRT_SECTION_SPHERES);
        break;
    case ElementCreator::STRAIN_STAGE_POINT:
        types.push_back(SRT_STAGE_POINT);
        break;
    default:
        VAQ_PROG_ERROR("Vaq::GCAD::StrainRenderer::getRenderTypes", "unsupported type");
    }
    return types;
}

void StrainRenderer::preDrawInternal(unsigned renderType, int mode)
{
    // Each render type belongs to one kind; an element of another kind cannot be drawn by it.
    m_strain = dynamic_cast<CAD::Strain *>(m_current_element);
    m_section = dynamic_cast<CAD::StrainSection *>(m_current_element);
    m_stage_point = dynamic_cast<CAD::StrainStagePoint *>(m_current_element);
    const bool sectionType = renderType >= SRT_SECTION_LINES && renderType <= SRT_SECTION_SPHERES;
    bool fits = m_strain != nullptr;
    if (renderType == SRT_STAGE_POINT)
        fits = m_stage_point;
    else if (sectionType)
        fits = m_section;
    if (!fits)
        VAQ_PROG_ERROR("Vaq::GCAD::StrainRenderer::preDrawInternal", "wrong element type");
    if (mode == 1 || mode == 3)
        m_next_row = 0;
    m_current_type = renderType;

    const CAD::ElemProp &p = *m_element_properties;
    switch (renderType) {
    case SRT_POINTS:
        setupPoints();
        break;
    case SRT_FACETS:
        setupFacets(mode);
        break;
    case SRT_LINES:
    case SRT_BOUNDARY:
        enableRenderMode(RM_LINES);
        setLineWidth(p.lineWidth);
        if (renderType == SRT_LINES && p.showTriangles) {
            setColor(p.edgeColor);
            break;
        }
        refreshValueTexture();
        ::glColor4ub(255, 255, 255, 255);
        GL::TextureManager::_manager.enableTexture(m_value_texture, GL_TEXTURE0, GL_MODULATE);
        GL::TextureManager::_manager.disableTexture(GL_TEXTURE1);
        break;
    case SRT_COORDINATE_DIRECTIONS:
    case SRT_MAJOR_DIRECTIONS:
    case SRT_MINOR_DIRECTIONS:
    case SRT_DISPLACEMENT_DIRECTIONS:
        enableRenderMode(RM_LINES);
        setLineWidth(p.lineWidth);
        setColor(p.strain.vectorColor);
        if (p.strain.vectorsThroughSurface)
            ::glDisable(GL_DEPTH_TEST);
        break;
    case SRT_ISOLINES:
        enableRenderMode(RM_LINES);
        setLineWidth(p.strain.isolineWidth);
        setColor(p.strain.isolineColor);
        break;
    case SRT_ISOLINE_NORMALS:
        // Lit by the surface under them: the lines shade with the facets.
        ::glEnable(GL_COLOR_MATERIAL);
        initMaterial(m_strain, false, false, false);
        setLineWidth(p.strain.isolineWidth);
        setColor(p.strain.isolineColor);
        break;
    case SRT_SECTION_LINES:
        enableRenderMode(RM_LINES);
        setLineWidth(p.lineWidth);
        setColor(m_section->getDrawColor());
        break;
    case SRT_SECTION_POINTS:
        ::glDisable(GL_LIGHTING);
        ::glPointSize(float(m_snapshot_scaling * p.pointSize));
        setColor(m_section->getDrawColor());
        break;
    default:
        break;
    }
}

void StrainRenderer::postDrawInternal(int)
{
    switch (m_current_type) {
    case SRT_POINTS:
        finishPoints();
        break;
    case SRT_FACETS:
        finishFacets();
        break;
    case SRT_LINES:
    case SRT_BOUNDARY:
        GL::TextureManager::_manager.disableTexture(GL_TEXTURE0);
        ::glDisableClientState(GL_VERTEX_ARRAY);
        disableRenderMode(RM_LINES);
        resetLineWidth();
        break;
    case SRT_COORDINATE_DIRECTIONS:
    case SRT_MAJOR_DIRECTIONS:
    case SRT_MINOR_DIRECTIONS:
    case SRT_DISPLACEMENT_DIRECTIONS:
        ::glEnable(GL_DEPTH_TEST);
        [[fallthrough]];
    case SRT_ISOLINES:
    case SRT_SECTION_LINES:
        disableRenderMode(RM_LINES);
        resetLineWidth();
        break;
    case SRT_ISOLINE_NORMALS:
        ::glDisable(GL_COLOR_MATERIAL);
        resetLineWidth();
        break;
    case SRT_SECTION_POINTS:
        ::glPointSize(1.0f);
        ::glEnable(GL_LIGHTING);
        break;
    default:
        break;
    }
}

bool StrainRenderer::drawInternal()
{
    switch (m_current_type) {
    case SRT_POINTS:
        return drawPoints();
    case SRT_FACETS:
        return drawFacets();
    case SRT_LINES:
        return drawLines();
    case SRT_BOUNDARY:
        return drawBoundary();
    case SRT_STAGE_POINT:
        return drawStagePoint();
    case SRT_SECTION_LINES:
    case SRT_SECTION_POINTS:
    case SRT_SECTION_SPHERES:
        return drawSection();
    case SRT_ISOLINES:
    case SRT_ISOLINE_NORMALS:
        return drawIsolines();
    case SRT_ISOLINE_LABELS:
        return drawIsolineLabels();
    default:
        return drawVectors();
    }
}

void StrainRenderer::setColor(const Color &color)
{
    ::glColor4ub(color.r, color.g, color.b, 255);
}

void StrainRenderer::setupPoints()
{
    refreshValueTexture();
    initMaterial(m_strain, false, false, false);
    ::glDisable(GL_LIGHTING);
    ::glEnable(GL_COLOR_MATERIAL);
    ::glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
    ::glPointSize(float(m_snapshot_scaling * m_element_properties->pointSize));
}

void StrainRenderer::finishPoints()
{
    ::glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    ::glPointSize(1.0f);
    ::glDisable(GL_COLOR_MATERIAL);
    ::glEnable(GL_LIGHTING);
}

bool StrainRenderer::drawPoints()
{
    const CAD::ElemProp &p = *m_element_properties;
    const std::size_t n = m_color_mapping.size();
    CAD::Strain::MappedPoint point;
    ::glBegin(GL_POINTS);
    for (unsigned row = 0; row < m_strain->getHeight(); ++row) {
        for (unsigned column = 0; column < m_strain->getWidth(); ++column) {
            const unsigned i = m_strain->getPointIndex(column, row);
            const CAD::StrainPointFlags flags = m_strain->getFlags(m_stage, i);
            if (!flags.exists() || !flags.isVisible() || !m_strain->getDrawPoint(m_stage, i, &point))
                continue;
            Color c = point.flag ? Color(255, 0, 0) : p.pointColor;
            if (p.colorMapEnabled && n > 0) {
                const float v = std::clamp(point.value, 0.0f, 1.0f);
                c = m_color_mapping[std::size_t(std::lround(v * float(n - 1)))];
                if (point.flag)
                    c = Color(uint8_t(std::lround(c.r * 0.5)), uint8_t(std::lround(c.g * 0.5)),
                        uint8_t(std::lround(c.b * 0.5)), c.a);
            }
            setColor(c);
            ::glNormal3f(point.normal.x, point.normal.y, point.normal.z);
            vertex(point.position);
        }
    }
    ::glEnd();
    return true;
}

bool StrainRenderer::drawLines()
{
    const bool textured = !m_element_properties->showTriangles;
    CAD::Strain::MappedPoint lines[4];
    ::glBegin(GL_LINES);
    const unsigned count = m_strain->getWidth() * m_strain->getHeight();
    for (unsigned i = 0; i < count; ++i) {
        const unsigned n = m_strain->getDrawLines(m_stage, i, lines);
        for (unsigned k = 0; k < n; ++k) {
            if (textured)
                valueCoordinate(lines[k].value);
            vertex(lines[k].position);
        }
    }
    ::glEnd();
    return true;
}

bool StrainRenderer::drawBoundary()
{
    // Position and value interleaved, 16 bytes a record.
    const std::vector<CAD::Strain::MappedPoint> boundary = m_strain->getBoundary(m_stage);
    std::vector<float> records;
    records.reserve(4 * boundary.size());
    for (const CAD::Strain::MappedPoint &p : boundary)
        records.insert(records.end(), { p.position.x, p.position.y, p.position.z, p.value });
    if (records.empty())
        return true;
    ::glEnableClientState(GL_VERTEX_ARRAY);
    ::glVertexPointer(3, GL_FLOAT, 4 * sizeof(float), records.data());
    if (GL::glClientActiveTexture)
        GL::glClientActiveTexture(GL_TEXTURE0);
    ::glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    ::glTexCoordPointer(1, GL_FLOAT, 4 * sizeof(float), records.data() + 3);
    ::glDrawArrays(GL_LINES, 0, GLsizei(boundary.size()));
    ::glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    ::glDisableClientState(GL_VERTEX_ARRAY);
    return true;
}

bool StrainRenderer::drawVectors()
{
    const double scale = m_element_properties->strain.vectorScale;
    const unsigned count = m_strain->getWidth() * m_strain->getHeight();
    CAD::Strain::MappedPoint point;
    const auto line = [&](const BaVec3d<float> &from, const BaVec3d<float> &direction) {
        vertex(from);
        vertex(from + direction * float(scale));
    };
    ::glBegin(GL_LINES);
    for (unsigned i = 0; i < count; ++i) {
        if (!m_strain->getDrawPoint(m_stage, i, &point))
            continue;
        BaVec3d<float> a, b;
        switch (m_current_type) {
        case SRT_COORDINATE_DIRECTIONS:
            if (m_strain->getCoordinatesDirection(m_stage, i, &a, &b)) {
                line(point.position, a);
                line(point.position, b);
            }
            break;
        case SRT_MAJOR_DIRECTIONS:
            if (m_strain->getMajorDirection(m_stage, i, &a))
                line(point.position, a);
            break;
        case SRT_MINOR_DIRECTIONS:
            if (m_strain->getMinorDirection(m_stage, i, &a))
                line(point.position, a);
            break;
        default:
            if (m_strain->getDisplacementDirection(m_stage, i, &a))
                line(point.position, a);
            break;
        }
    }
    ::glEnd();
    return true;
}

bool StrainRenderer::drawIsolines()
{
    // Lifted towards the viewer by a pixel, against the direction the viewer looks along; the
    // axis scale stretches model units per axis on the screen.
    BaVec3d<double> lift;
    if (const GL::RenderObject *view = m_render_callback->getRenderObject()) {
        const BaVec3d<double> towards = -view->getViewDirection(), scale = view->getAxisScale();
        const double size = calculateDrawSize(false, ISOLINE_LIFT_PIXELS);
        for (int axis = 0; axis < 3; ++axis)
            lift[axis] = scale[axis] > 0.0 ? towards[axis] * size / scale[axis] : 0.0;
        if (m_current_type == SRT_ISOLINES)
            ::glNormal3d(towards.x, towards.y, towards.z);
    }
    const BaVec3d<float> offset(float(lift.x), float(lift.y), float(lift.z));
    const bool lit = m_current_type == SRT_ISOLINE_NORMALS;
    ::glBegin(GL_LINES);
    for (unsigned v = 0; v < m_strain->getIsolineValues().size(); ++v) {
        const auto &points = m_strain->getIsolinePoints(m_stage, v);
        const auto &normals = m_strain->getIsolineNormals(m_stage, v);
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (lit)
                ::glNormal3f(normals[i].x, normals[i].y, normals[i].z);
            vertex(points[i] + offset);
        }
    }
    ::glEnd();
    return true;
}

bool StrainRenderer::drawIsolineLabels()
{
    GL::RenderObject *view = m_render_callback->getRenderObject();
    if (!view)
        return true;
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setFamily(font.defaultFamily());
    font.setPointSizeF(LABEL_FONT_SIZE * m_snapshot_scaling);
    const Color &color = m_element_properties->strain.isolineColor;
    for (unsigned v = 0; v < m_strain->getIsolineValues().size(); ++v) {
        BaVec3d<double> position;
        QString text;
        if (m_strain->getIsolineLabel(m_stage, v, &position, &text))
            view->renderText(position, text, font, color);
    }
    return true;
}

bool StrainRenderer::drawStagePoint()
{
    BaVec3d<double> point;
    if (m_stage_point->getDrawPoint(m_stage, &point))
        drawPointMarker(point, m_element_properties->markerSize, m_stage_point->getDrawColor(), 0, false);
    return true;
}

bool StrainRenderer::drawSection()
{
    const std::vector<BaVec3d<double>> pairs = m_section->getDrawPoints(m_stage);
    if (m_current_type == SRT_SECTION_LINES) {
        ::glBegin(GL_LINES);
        for (const BaVec3d<double> &p : pairs)
            vertex(p);
        ::glEnd();
        return true;
    }
    // Each polyline point once: the start of every segment and the end of the last.
    std::vector<BaVec3d<double>> points;
    for (std::size_t i = 0; i < pairs.size(); i += 2)
        points.push_back(pairs[i]);
    if (!pairs.empty())
        points.push_back(pairs.back());
    if (m_current_type == SRT_SECTION_POINTS) {
        ::glBegin(GL_POINTS);
        for (const BaVec3d<double> &p : points)
            vertex(p);
        ::glEnd();
    } else {
        for (const BaVec3d<double> &p : points)
            drawPointMarker(p, m_element_properties->markerSize, m_section->getDrawColor(), 0, false);
    }
    return true;
}

} // namespace Vaq::GCAD
