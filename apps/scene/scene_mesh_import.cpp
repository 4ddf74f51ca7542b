#include "apps/scene/scene_mesh_import.h"

#include "apps/scene/scene_import_error.h"

#include <QFile>
#include <QFileInfo>

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace Gcad::Scene {

namespace {

using Vaq::BaVec3d;
using Vaq::Color;
using Vaq::CAD::PolyBase;
using Vaq::CAD::Triangle;

QString malformed(const QString &format, const Assimp::Importer &importer)
{
    return QStringLiteral("malformed %1 file (%2)")
        .arg(format, QString::fromUtf8(importer.GetErrorString()).simplified());
}

uint8_t toChannel(float value)
{
    return std::isfinite(value) ? uint8_t(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)) : 0;
}

Color toColor(const aiColor4D &color)
{
    return Color(toChannel(color.r), toChannel(color.g), toChannel(color.b));
}

std::size_t countCorners(const aiMesh &mesh, unsigned corners)
{
    return std::count_if(mesh.mFaces, mesh.mFaces + mesh.mNumFaces,
        [corners](const aiFace &face) { return face.mNumIndices == corners; });
}

class SceneReader
{
public:
    SceneReader(const QString &path, const aiScene &scene)
        : m_path(path)
        , m_meshes(scene.mMeshes, scene.mMeshes + scene.mNumMeshes)
    {
    }

    [[noreturn]] void fail(const QString &reason) const { throw ImportError(m_path, reason); }

    // What assimp lets through of a broken file and its own post-processing cannot take.
    void checkVerticesAndFaces() const
    {
        for (const aiMesh *mesh : m_meshes) {
            for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
                const aiVector3D &v = mesh->mVertices[i];
                if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
                    fail(QStringLiteral("non-finite vertex coordinates"));
            }
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace &face = mesh->mFaces[f];
                for (unsigned c = 0; c < face.mNumIndices; ++c) {
                    if (face.mIndices[c] >= mesh->mNumVertices)
                        fail(QStringLiteral("a face refers to vertex %1, but there are only %2 vertices")
                                 .arg(face.mIndices[c])
                                 .arg(mesh->mNumVertices));
                }
            }
        }
    }

    std::size_t countFaces(unsigned minimumCorners) const
    {
        std::size_t count = 0;
        for (const aiMesh *mesh : m_meshes) {
            for (unsigned corners = minimumCorners; corners <= 3; ++corners)
                count += countCorners(*mesh, corners);
        }
        return count;
    }

    bool allHaveColors() const
    {
        return std::all_of(
            m_meshes.begin(), m_meshes.end(), [](const aiMesh *m) { return m->HasVertexColors(0); });
    }

    PointCloud points() const
    {
        PointCloud cloud;
        const bool colored = allHaveColors();
        for (const aiMesh *mesh : m_meshes) {
            for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
                const aiVector3D &v = mesh->mVertices[i];
                cloud.positions.emplace_back(v.x, v.y, v.z);
                if (colored)
                    cloud.colors.push_back(toColor(mesh->mColors[0][i]));
            }
        }
        if (cloud.positions.empty())
            fail(QStringLiteral("no vertices"));
        return cloud;
    }

    std::unique_ptr<PolyBase> mesh() const
    {
        std::size_t vertexCount = 0;
        for (const aiMesh *mesh : m_meshes)
            vertexCount += mesh->mNumVertices;
        if (vertexCount > std::numeric_limits<uint32_t>::max())
            fail(QStringLiteral("too many vertices for 32-bit indices (%1)").arg(vertexCount));

        const bool colored = allHaveColors();
        std::vector<BaVec3d<double>> vertices;
        std::vector<Color> colors;
        std::vector<Triangle> triangles;
        vertices.reserve(vertexCount);
        if (colored)
            colors.reserve(vertexCount);
        triangles.reserve(countFaces(3));
        for (const aiMesh *mesh : m_meshes) {
            const uint32_t first = uint32_t(vertices.size());
            for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
                const aiVector3D &v = mesh->mVertices[i];
                vertices.emplace_back(v.x, v.y, v.z);
                if (colored)
                    colors.push_back(toColor(mesh->mColors[0][i]));
            }
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace &face = mesh->mFaces[f];
                if (face.mNumIndices == 3)
                    triangles.push_back(
                        { first + face.mIndices[0], first + face.mIndices[1], first + face.mIndices[2] });
            }
        }

        auto polyBase = std::make_unique<PolyBase>(Vaq::CAD::ElementCreator::MESH_SCAN, m_path);
        polyBase->setMesh(std::move(vertices), std::move(triangles));
        if (colored)
            polyBase->setDrawColors(std::move(colors));
        polyBase->computeNormals();
        return polyBase;
    }

private:
    const QString &m_path;
    std::vector<const aiMesh *> m_meshes;
};

} // namespace

ImportedData importMeshFile(const QString &path)
{
    const QString format = QFileInfo(path).suffix().toUpper();
    Assimp::Importer importer;
    // Without normals and texture coordinates, corners differ only by position and colour, so
    // that joining identical vertices leaves a connected mesh (STL repeats every corner).
    importer.SetPropertyInteger(AI_CONFIG_PP_RVC_FLAGS,
        aiComponent_NORMALS | aiComponent_TANGENTS_AND_BITANGENTS | aiComponent_TEXCOORDS
            | aiComponent_BONEWEIGHTS | aiComponent_ANIMATIONS | aiComponent_TEXTURES | aiComponent_LIGHTS
            | aiComponent_CAMERAS | aiComponent_MATERIALS);
    // The meshes are taken as they are, without their nodes: STL, PLY and OBJ place every
    // mesh once and untransformed.
    const aiScene *scene = importer.ReadFile(
        QFile::encodeName(path).constData(), aiProcess_RemoveComponent | aiProcess_Triangulate);
    if (!scene)
        throw ImportError(path, malformed(format, importer));

    const SceneReader raw(path, *scene);
    // Before joining: a non-finite corner could merge into another one unseen, and joining
    // reads every corner a face names.
    raw.checkVerticesAndFaces();
    if (format == QLatin1String("PLY") && raw.countFaces(2) == 0)
        return raw.points();
    if (raw.countFaces(3) == 0)
        raw.fail(QStringLiteral("no triangles"));

    scene = importer.ApplyPostProcessing(aiProcess_JoinIdenticalVertices);
    if (!scene)
        raw.fail(malformed(format, importer));
    return SceneReader(path, *scene).mesh();
}

} // namespace Gcad::Scene
