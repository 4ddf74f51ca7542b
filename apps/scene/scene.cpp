#include "apps/scene/scene.h"

#include "apps/scene/scene_labels.h"

namespace Gcad::Scene {

using Vaq::CAD::StageIdentifier;

void Scene::addMesh(std::unique_ptr<Vaq::CAD::PolyBase> mesh)
{
    mesh->updateVisualization(StageIdentifier::NO_STAGE, true, false);
    m_meshes.push_back(std::move(mesh));
}

void Scene::addPoints(std::unique_ptr<Vaq::CAD::PointsBase> points)
{
    m_point_sets.push_back(std::move(points));
}

void Scene::addElement(std::unique_ptr<Vaq::CAD::Element> element)
{
    m_elements.push_back(std::move(element));
}

void Scene::addSection(std::unique_ptr<Vaq::CAD::SectionBase> section)
{
    m_sections.push_back(std::move(section));
}

std::vector<Vaq::CAD::Element *> Scene::getElements() const
{
    std::vector<Vaq::CAD::Element *> elements;
    for (const auto &mesh : m_meshes)
        elements.push_back(mesh.get());
    for (const auto &points : m_point_sets)
        elements.push_back(points.get());
    for (const auto &element : m_elements)
        elements.push_back(element.get());
    for (const auto &section : m_sections)
        elements.push_back(section.get());
    return elements;
}

std::size_t Scene::getNumberOfTriangles() const
{
    std::size_t count = 0;
    for (const auto &mesh : m_meshes)
        count += mesh->getData(StageIdentifier::NO_STAGE)->triangles.size();
    return count;
}

std::size_t Scene::getNumberOfPoints() const
{
    std::size_t count = 0;
    for (const auto &mesh : m_meshes)
        count += mesh->getData(StageIdentifier::NO_STAGE)->vertices.size();
    for (const auto &points : m_point_sets)
        count += points->getPointVector(StageIdentifier::NO_STAGE).size();
    for (const auto &element : m_elements)
        count += element->getNumberOfPoints(StageIdentifier::NO_STAGE);
    for (const auto &section : m_sections)
        count += section->getNumberOfPoints(StageIdentifier::NO_STAGE);
    return count;
}

void OverlayOptions::add(const OverlayOptions &other)
{
    raster = raster || other.raster;
    spotlight = spotlight || other.spotlight;
    pointMarks.insert(pointMarks.end(), other.pointMarks.begin(), other.pointMarks.end());
    if (other.cross)
        cross = other.cross;
}

void Scene::labelElements()
{
    for (Vaq::CAD::Element *element : getElements()) {
        if (!element->getLabel())
            attachLabel(*element, element->getFileName());
    }
}

void Scene::applyDisplayOptions(const DisplayOptions &options)
{
    for (const auto &mesh : m_meshes) {
        Vaq::CAD::ElemProp &properties = *mesh->getElemProperties();
        properties.smooth = properties.smooth && !options.flat;
        properties.showEdges = properties.showEdges || options.edges;
        properties.showPoints = properties.showPoints || options.points;
    }
}

} // namespace Gcad::Scene
