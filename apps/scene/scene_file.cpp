#include "apps/scene/scene_file.h"

#include "apps/scene/scene_json_reader.h"

#include "gcad/host/gl/vaq_gl_view_creator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cmath>
#include <limits>

namespace Gcad::Scene {

namespace {

using Vaq::BaVec3d;
using Vaq::Color;

constexpr int LARGEST_VIEW = 16384;

// "line <l>, column <c>" of a byte offset into text.
QString lineAndColumn(QByteArrayView text, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, text.size());
    int line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return QStringLiteral("line %1, column %2").arg(line).arg(offset - lineStart + 1);
}

// Every element kind a scene file may name, for the messages that list them.
QString knownKinds()
{
    return QStringLiteral("mesh, points, section, strain, %1, %2").arg(primitiveKinds(), MEASURE_KINDS);
}

ViewDescription readView(const JsonReader &reader, const QJsonValue &value)
{
    const QString where = QStringLiteral("view");
    const QJsonObject view = reader.object(value, where, { "direction", "size", "background" });
    ViewDescription result;
    if (view.contains("direction")) {
        result.direction = reader.text(view["direction"], where + ".direction");
        if (Vaq::GL::ViewCreator::getViewForName(result.direction) == Vaq::GL::ViewCreator::VD_NONE)
            reader.fail(where + ".direction",
                QStringLiteral("unknown view '%1' (x+, x-, y+, y-, z+, z-, iso or a corner such as x+y-z+)")
                    .arg(result.direction.left(40)));
    }
    if (view.contains("size")) {
        const QJsonArray size = reader.array(view["size"], where + ".size");
        if (size.size() != 2)
            reader.fail(where + ".size", QStringLiteral("expected [width, height]"));
        result.size = QSize(int(reader.integer(size[0], where + ".size[0]", 1, LARGEST_VIEW)),
            int(reader.integer(size[1], where + ".size[1]", 1, LARGEST_VIEW)));
    }
    if (view.contains("background"))
        result.background = reader.color(view["background"], where + ".background");
    return result;
}

// The name of a file to import: a text that is not empty.
QString fileName(const JsonReader &reader, const QJsonValue &value, const QString &where)
{
    const QString name = reader.text(value, where);
    if (name.isEmpty())
        reader.fail(where, QStringLiteral("the file name is empty"));
    return name;
}

MeshDescription readMesh(const JsonReader &reader, const QJsonObject &element, const QString &where)
{
    MeshDescription mesh;
    if (element.contains("file") == element.contains("vertices"))
        reader.fail(where, QStringLiteral("a mesh needs either \"file\" or \"vertices\" and \"triangles\""));
    if (element.contains("file")) {
        mesh.file = fileName(reader, element["file"], where + ".file");
        for (const char *key : { "triangles", "colors" }) {
            if (element.contains(key))
                reader.fail(where + '.' + key, QStringLiteral("not allowed beside \"file\""));
        }
    } else {
        const auto position
            = [&](const QJsonValue &v, const QString &at) { return reader.vector<double>(v, at); };
        mesh.vertices = reader.list(element, where, "vertices", position);
        const int64_t last = int64_t(mesh.vertices.size()) - 1;
        mesh.triangles = reader.list(
            element, where, "triangles", [&](const QJsonValue &v, const QString &at) {
                const QJsonArray corners = reader.array(v, at);
                if (corners.size() != 3)
                    reader.fail(at, QStringLiteral("expected 3 vertex numbers, not %1").arg(corners.size()));
                Vaq::CAD::Triangle triangle;
                for (int i = 0; i < 3; ++i)
                    triangle[i] = uint32_t(reader.integer(corners[i], JsonReader::indexed(at, i), 0, last));
                return triangle;
            });
        if (mesh.triangles.empty())
            reader.fail(where + ".triangles", QStringLiteral("no triangles"));
        mesh.colors = reader.perPoint(element, where, "colors", mesh.vertices.size(),
            [&](const QJsonValue &v, const QString &at) { return reader.color(v, at); });
    }
    if (element.contains("flat"))
        mesh.flat = reader.boolean(element["flat"], where + ".flat");
    if (element.contains("edges"))
        mesh.edges = reader.boolean(element["edges"], where + ".edges");
    if (element.contains("vertexPoints"))
        mesh.vertexPoints = reader.boolean(element["vertexPoints"], where + ".vertexPoints");
    return mesh;
}

PointsDisplay readPointsDisplay(const JsonReader &reader, const QJsonObject &element, const QString &where)
{
    PointsDisplay display;
    if (element.contains("display")) {
        const QString mode = reader.text(element["display"], where + ".display");
        const QStringList modes = { "points", "markers", "crosses" };
        display.mode = int(modes.indexOf(mode));
        if (display.mode < 0)
            reader.fail(where + ".display",
                QStringLiteral("unknown display '%1' (points, markers or crosses)").arg(mode.left(40)));
    }
    if (element.contains("pointSize"))
        display.pointSize = reader.number(element["pointSize"], where + ".pointSize", 1.0, 100.0);
    if (element.contains("showIds"))
        display.ids = reader.boolean(element["showIds"], where + ".showIds");
    if (element.contains("showNormals"))
        display.normals = reader.boolean(element["showNormals"], where + ".showNormals");
    if (element.contains("needles"))
        display.needles = reader.boolean(element["needles"], where + ".needles");
    if (element.contains("needleScale"))
        display.needleScale = reader.number(element["needleScale"], where + ".needleScale", -1e6, 1e6);
    return display;
}

PointsDescription readPoints(const JsonReader &reader, const QJsonObject &element, const QString &where)
{
    PointsDescription points;
    points.display = readPointsDisplay(reader, element, where);
    if (element.contains("file") == element.contains("positions"))
        reader.fail(where, QStringLiteral("a point set needs either \"file\" or \"positions\""));
    if (element.contains("file")) {
        points.file = fileName(reader, element["file"], where + ".file");
        for (const char *key : { "normals", "colors", "values", "ids", "deviations" }) {
            if (element.contains(key))
                reader.fail(where + '.' + key, QStringLiteral("not allowed beside \"file\""));
        }
        return points;
    }
    PointCloud &cloud = points.cloud;
    const auto vectorD = [&](const QJsonValue &v, const QString &at) { return reader.vector<double>(v, at); };
    const auto vectorF = [&](const QJsonValue &v, const QString &at) { return reader.vector<float>(v, at); };
    cloud.positions = reader.list(element, where, "positions", vectorD);
    if (cloud.positions.empty())
        reader.fail(where + ".positions", QStringLiteral("no points"));
    const std::size_t n = cloud.positions.size();
    cloud.normals = reader.perPoint(element, where, "normals", n, vectorF);
    cloud.colors = reader.perPoint(element, where, "colors", n,
        [&](const QJsonValue &v, const QString &at) { return reader.color(v, at); });
    cloud.values = reader.perPoint(element, where, "values", n, [&](const QJsonValue &v, const QString &at) {
        const double limit = std::numeric_limits<float>::max();
        return float(reader.number(v, at, -limit, limit));
    });
    cloud.ids = reader.perPoint(element, where, "ids", n, [&](const QJsonValue &v, const QString &at) {
        return int32_t(
            reader.integer(v, at, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    });
    cloud.deviations = reader.perPoint(element, where, "deviations", n, vectorF);
    return points;
}

ElementDescription readElement(const JsonReader &reader, const QJsonValue &value, const QString &where)
{
    static const QStringList MESH_KEYS = { "kind", "name", "color", "label", "file", "vertices", "triangles",
        "colors", "flat", "edges", "vertexPoints" };
    static const QStringList POINTS_KEYS
        = { "kind", "name", "color", "label", "file", "positions", "normals", "colors", "values", "ids",
              "deviations", "display", "pointSize", "showIds", "showNormals", "needles", "needleScale" };

    if (!value.isObject())
        reader.expected(where, QStringLiteral("an object"), value);
    const QJsonValue kindValue = value.toObject().value(QLatin1String("kind"));
    if (kindValue.isUndefined())
        reader.fail(where, QStringLiteral("no \"kind\" (%1)").arg(knownKinds()));
    const QString kind = reader.text(kindValue, where + ".kind");
    const bool mesh = kind == QLatin1String("mesh");
    const bool section = kind == QLatin1String("section"), strain = kind == QLatin1String("strain");
    const bool primitive = isPrimitiveKind(kind), measure = isMeasureKind(kind);
    if (!mesh && !section && !strain && !primitive && !measure && kind != QLatin1String("points"))
        reader.fail(
            where + ".kind", QStringLiteral("unknown kind '%1' (%2)").arg(kind.left(40), knownKinds()));

    const QJsonObject element = reader.object(value, where,
        mesh            ? MESH_KEYS
            : primitive ? QStringList { "kind", "name", "color", "label" } + primitiveKeys(kind)
            : measure   ? measureKeys(kind)
            : section   ? sectionKeys()
            : strain    ? strainKeys()
                        : POINTS_KEYS);
    ElementDescription result;
    if (element.contains("name"))
        result.name = reader.text(element["name"], where + ".name");
    if (element.contains("label"))
        result.label = reader.text(element["label"], where + ".label");
    if (element.contains("color"))
        result.color = reader.color(element["color"], where + ".color");
    if (mesh)
        result.data = readMesh(reader, element, where);
    else if (primitive)
        result.data = readPrimitive(reader, element, kind, where);
    else if (measure)
        result.data = readMeasure(reader, element, kind, where);
    else if (section)
        result.data = readSection(reader, element, where);
    else if (strain)
        result.data = readStrain(reader, element, where);
    else
        result.data = readPoints(reader, element, where);
    return result;
}

PointMark readPointMark(const JsonReader &reader, const QJsonValue &value, const QString &where)
{
    const QJsonObject object = reader.object(value, where, { "at", "text", "color" });
    if (!object.contains("at"))
        reader.fail(where, QStringLiteral("no \"at\" (the marked point)"));
    PointMark mark { reader.vector<double>(object["at"], where + ".at"), QString(), std::nullopt };
    if (object.contains("text"))
        mark.text = reader.text(object["text"], where + ".text");
    if (object.contains("color"))
        mark.color = reader.color(object["color"], where + ".color");
    return mark;
}

} // namespace

SceneDescription parseSceneFile(QByteArrayView json, const QString &fileName)
{
    const JsonReader reader(fileName);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError)
        reader.fail(lineAndColumn(json, error.offset), error.errorString());

    const QJsonObject root = reader.object(
        document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array()),
        QStringLiteral("the document"), { "view", "elements", "labels", "raster", "pointMarks", "cross" });
    SceneDescription scene;
    if (root.contains("view"))
        scene.view = readView(reader, root["view"]);
    if (root.contains("labels"))
        scene.labels = reader.boolean(root["labels"], QStringLiteral("labels"));
    if (root.contains("raster"))
        scene.overlay.raster = reader.boolean(root["raster"], QStringLiteral("raster"));
    if (root.contains("pointMarks")) {
        const QJsonArray marks = reader.array(root["pointMarks"], QStringLiteral("pointMarks"));
        for (qsizetype i = 0; i < marks.size(); ++i)
            scene.overlay.pointMarks.push_back(
                readPointMark(reader, marks[i], JsonReader::indexed(QStringLiteral("pointMarks"), i)));
    }
    if (root.contains("cross"))
        scene.overlay.cross = reader.vector<double>(root["cross"], QStringLiteral("cross"));
    const QJsonArray elements = reader.array(root["elements"], QStringLiteral("elements"));
    if (elements.isEmpty())
        reader.fail(QStringLiteral("elements"), QStringLiteral("the scene has no elements"));
    for (qsizetype i = 0; i < elements.size(); ++i)
        scene.elements.push_back(
            readElement(reader, elements[i], JsonReader::indexed(QStringLiteral("elements"), i)));
    return scene;
}

} // namespace Gcad::Scene
