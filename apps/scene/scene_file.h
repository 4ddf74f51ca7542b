// Reader of scene files: a JSON document that lists the elements a program shows (each with its
// kind, its data or the path of a mesh or point file, its colour and display properties, a
// name and a label), the view they are shown in and what the view's overlay shows. The format
// is described in docs/scene-format.md. The reader only checks and converts; loadSceneFile
// (scene_file_loader.h) turns the result into a Scene.
#pragma once

#include "apps/scene/scene.h"
#include "apps/scene/scene_file_measure.h"
#include "apps/scene/scene_file_primitive.h"
#include "apps/scene/scene_file_section.h"
#include "apps/scene/scene_file_strain.h"
#include "apps/scene/scene_point_cloud.h"

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"

#include <QByteArrayView>
#include <QSize>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace Gcad::Scene {

// A triangle mesh: a file to import, or vertices and triangles given in the scene file.
struct MeshDescription
{
    QString file; // as written in the scene file; empty for inline data
    std::vector<Vaq::BaVec3d<double>> vertices;
    std::vector<Vaq::CAD::Triangle> triangles;
    std::vector<Vaq::Color> colors; // empty or one per vertex
    bool flat = false;
    bool edges = false;
    bool vertexPoints = false; // the vertices drawn as points over the surface
};

// How a point set is shown.
struct PointsDisplay
{
    int mode = 0; // 0 points, 1 markers, 2 crosses
    double pointSize = 3.0; // pixels; also the marker and cross size
    bool ids = false; // the identifiers as text
    bool normals = false; // a line along each normal
    bool needles = false; // the deviation vectors as needles
    double needleScale = 1.0;
};

// A point set: a file to import, or the points given in the scene file.
struct PointsDescription
{
    QString file;
    PointCloud cloud;
    PointsDisplay display;
};

struct ElementDescription
{
    QString name; // empty: the file's name, or "<kind> <number>"
    std::optional<QString> label; // the text of the element's label
    std::optional<Vaq::Color> color;
    std::variant<MeshDescription, PointsDescription, PrimitiveDescription, MeasureDescription,
        SectionDescription, StrainDescription>
        data;
};

// What the scene file says of the view; unset entries are left to the program.
struct ViewDescription
{
    QString direction; // a view name such as "iso" or "x+"; empty: not given
    std::optional<QSize> size;
    std::optional<Vaq::Color> background;
};

struct SceneDescription
{
    ViewDescription view;
    std::vector<ElementDescription> elements;
    bool labels = false; // every element without a label of its own is labelled with its name
    OverlayOptions overlay;
};

// The scene that json describes. Throws ImportError for fileName with "<where>: <why>": where
// is "line <l>, column <c>" for a document that is no JSON, or the path of the offending
// value, such as "elements[2].positions[7]".
SceneDescription parseSceneFile(QByteArrayView json, const QString &fileName);

} // namespace Gcad::Scene
