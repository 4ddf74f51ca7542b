// Scene: the meshes and point sets a program shows, and what its view's overlay marks. It owns
// the elements, so that they outlive every view that draws them, and keeps the meshes' render
// data (the spatial tree the mesh renderer draws from) current.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_points_base.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_section_base.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace Gcad::Scene {

// Display choices of the user, on top of what each mesh shows by itself.
struct DisplayOptions
{
    bool flat = false; // flat instead of smooth shading
    bool edges = false; // the triangle edges over the surface
    bool points = false; // the vertices as points over the surface
};

// A numbered point mark of the view's overlay: a small cross at a model point, with a text
// beside it unless the text is blank.
struct PointMark
{
    Vaq::BaVec3d<double> at;
    QString text;
    std::optional<Vaq::Color> color; // unset: the overlay's own
};

// What the view's 2-D overlay shows besides the elements' labels and legend.
struct OverlayOptions
{
    bool raster = false; // the coordinate raster (in axis views) and the view-direction text
    std::vector<PointMark> pointMarks;
    std::optional<Vaq::BaVec3d<double>> cross; // a crosshair through the point
    bool spotlight = false; // the translucent disc in the middle of the view

    // Takes on what other asks for too: its raster, its marks after these, its crosshair
    // instead of this one where it has one.
    void add(const OverlayOptions &other);
};

class Scene
{
public:
    // Takes mesh and builds its render data.
    void addMesh(std::unique_ptr<Vaq::CAD::PolyBase> mesh);
    const std::vector<std::unique_ptr<Vaq::CAD::PolyBase>> &getMeshes() const { return m_meshes; }
    void addPoints(std::unique_ptr<Vaq::CAD::PointsBase> points);
    const std::vector<std::unique_ptr<Vaq::CAD::PointsBase>> &getPointSets() const { return m_point_sets; }
    // Takes an element of another kind (a primitive, a measurement, a tolerance frame).
    void addElement(std::unique_ptr<Vaq::CAD::Element> element);
    const std::vector<std::unique_ptr<Vaq::CAD::Element>> &getOtherElements() const { return m_elements; }
    void addSection(std::unique_ptr<Vaq::CAD::SectionBase> section);
    const std::vector<std::unique_ptr<Vaq::CAD::SectionBase>> &getSections() const { return m_sections; }
    // Every element: the meshes, the point sets, the others, then the sections.
    std::vector<Vaq::CAD::Element *> getElements() const;

    std::size_t getNumberOfTriangles() const;
    // Vertices of the meshes and points of the point sets.
    std::size_t getNumberOfPoints() const;

    // Switches on, for every mesh, what options asks for; the rest stays as the mesh has it.
    void applyDisplayOptions(const DisplayOptions &options);

    // Labels every element that has none with its name (getFileName), connected to a point of
    // its own (attachLabel).
    void labelElements();

    OverlayOptions &getOverlay() { return m_overlay; }
    const OverlayOptions &getOverlay() const { return m_overlay; }

    // Elements the views mark, each in its colour; the elements must be the scene's own.
    void markElement(Vaq::CAD::Element *element, const Vaq::Color &color)
    {
        m_marked.emplace_back(element, color);
    }
    const std::vector<std::pair<Vaq::CAD::Element *, Vaq::Color>> &getMarkedElements() const
    {
        return m_marked;
    }

    // What the view shows behind the elements: a dark slate unless set, against which
    // coloured and grey surfaces both stand out.
    void setBackground(const Vaq::Color &color) { m_background = color; }
    const Vaq::Color &getBackground() const { return m_background; }

private:
    Vaq::Color m_background { 38, 42, 52 };
    OverlayOptions m_overlay;
    std::vector<std::pair<Vaq::CAD::Element *, Vaq::Color>> m_marked;
    std::vector<std::unique_ptr<Vaq::CAD::PolyBase>> m_meshes;
    std::vector<std::unique_ptr<Vaq::CAD::PointsBase>> m_point_sets;
    std::vector<std::unique_ptr<Vaq::CAD::Element>> m_elements;
    std::vector<std::unique_ptr<Vaq::CAD::SectionBase>> m_sections;
};

} // namespace Gcad::Scene
