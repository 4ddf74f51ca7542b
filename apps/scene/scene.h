// Scene: the meshes and point sets a program shows. It owns them, so that they outlive every
// view that draws them, and keeps the meshes' render data (the spatial tree the mesh renderer
// draws from) current.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/cad/vaq_cad_points_base.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace Gcad::Scene {

// Display choices of the user, on top of what each mesh shows by itself.
struct DisplayOptions
{
    bool flat = false; // flat instead of smooth shading
    bool edges = false; // the triangle edges over the surface
    bool points = false; // the vertices as points over the surface
};

class Scene
{
public:
    // Takes mesh and builds its render data.
    void addMesh(std::unique_ptr<Vaq::CAD::PolyBase> mesh);
    const std::vector<std::unique_ptr<Vaq::CAD::PolyBase>> &getMeshes() const { return m_meshes; }
    void addPoints(std::unique_ptr<Vaq::CAD::PointsBase> points);
    const std::vector<std::unique_ptr<Vaq::CAD::PointsBase>> &getPointSets() const { return m_point_sets; }
    // Every element: the meshes, then the point sets.
    std::vector<Vaq::CAD::Element *> getElements() const;

    std::size_t getNumberOfTriangles() const;
    // Vertices of the meshes and points of the point sets.
    std::size_t getNumberOfPoints() const;

    // Switches on, for every mesh, what options asks for; the rest stays as the mesh has it.
    void applyDisplayOptions(const DisplayOptions &options);

    // What the view shows behind the elements: a dark slate unless set, against which
    // coloured and grey surfaces both stand out.
    void setBackground(const Vaq::Color &color) { m_background = color; }
    const Vaq::Color &getBackground() const { return m_background; }

private:
    Vaq::Color m_background { 38, 42, 52 };
    std::vector<std::unique_ptr<Vaq::CAD::PolyBase>> m_meshes;
    std::vector<std::unique_ptr<Vaq::CAD::PointsBase>> m_point_sets;
};

} // namespace Gcad::Scene
