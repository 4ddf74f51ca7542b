#include "apps/scene/scene_mesh_import.h"

#include "apps/scene/scene_reader_support.h"

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

using Vaq::Color;

uint8_t toChannel(float value)
{
    return std::isfinite(value) ? uint8_t(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)) : 0;
}

Color toColor(const aiColor4D &color)
{
    return Color(toChannel(color.r), toChannel(color.g), toChannel(color.b));
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

    MeshData mesh() const
    {
        std::size_t vertexCount = 0, triangleCount = 0;
        for (const aiMesh *mesh : m_meshes) {
            vertexCount += mesh->mNumVertices;
            triangleCount += std::count_if(mesh->mFaces, mesh->mFaces + mesh->mNumFaces,
                [](const aiFace &face) { return face.mNumIndices == 3; });
        }
        if (vertexCount > std::numeric_limits<uint32_t>::max())
            fail(QStringLiteral("too many vertices for 32-bit indices (%1)").arg(vertexCount));

        const bool colored = std::all_of(
            m_meshes.begin(), m_meshes.end(), [](const aiMesh *m) { return m->HasVertexColors(0); });
        MeshData data;
        reserveOrFail(data.vertices, vertexCount, m_path);
        if (colored)
            reserveOrFail(data.colors, vertexCount, m_path);
        reserveOrFail(data.triangles, triangleCount, m_path);
        for (const aiMesh *mesh : m_meshes) {
            const uint32_t first = uint32_t(data.vertices.size());
            for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
                const aiVector3D &v = mesh->mVertices[i];
                data.vertices.emplace_back(v.x, v.y, v.z);
                if (colored)
                    data.colors.push_back(toColor(mesh->mColors[0][i]));
            }
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace &face = mesh->mFaces[f];
                if (face.mNumIndices == 3)
                    data.triangles.push_back(
                        { first + face.mIndices[0], first + face.mIndices[1], first + face.mIndices[2] });
            }
        }
        return data;
    }

private:
    const QString &m_path;
    std::vector<const aiMesh *> m_meshes;
};

} // namespace

MeshData readObjMesh(std::string_view bytes, const QString &fileName)
{
    Assimp::Importer importer;
    const auto malformed = [&] {
        return ImportError(fileName,
            QStringLiteral("malformed OBJ file (%1)")
                .arg(QString::fromUtf8(importer.GetErrorString()).simplified().left(120)));
    };
    // Without normals and texture coordinates, corners differ only by position and colour, so
    // that joining identical vertices leaves a connected mesh.
    importer.SetPropertyInteger(AI_CONFIG_PP_RVC_FLAGS,
        aiComponent_NORMALS | aiComponent_TANGENTS_AND_BITANGENTS | aiComponent_TEXCOORDS
            | aiComponent_BONEWEIGHTS | aiComponent_ANIMATIONS | aiComponent_TEXTURES | aiComponent_LIGHTS
            | aiComponent_CAMERAS | aiComponent_MATERIALS);
    // The meshes are taken as they are, without their nodes: OBJ places every mesh once and
    // untransformed.
    const aiScene *scene = importer.ReadFileFromMemory(
        bytes.data(), bytes.size(), aiProcess_RemoveComponent | aiProcess_Triangulate, "obj");
    if (!scene)
        throw malformed();

    const SceneReader raw(fileName, *scene);
    // Before joining: a non-finite corner could merge into another one unseen, and joining
    // reads every corner a face names.
    raw.checkVerticesAndFaces();
    scene = importer.ApplyPostProcessing(aiProcess_JoinIdenticalVertices);
    if (!scene)
        throw malformed();
    return SceneReader(fileName, *scene).mesh();
}

} // namespace Gcad::Scene
