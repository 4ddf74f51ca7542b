// The geometric primitives of scene files: points, lines, circles, discs, planes, slots,
// spheres, cylinders, cones, paraboloids, polygon holes, label markers and fixture adapters,
// each read from its own keys ("center", "radius", ...) and checked as it is read. The
// description keeps what was read and builds the element when the loader asks for it.
#pragma once

#include "apps/scene/scene_json_reader.h"

#include "gcad/host/cad/vaq_cad_element.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace Gcad::Scene {

struct PrimitiveDescription
{
    QString kind; // as the file names it ("cylinder")
    // The element the description stands for, built anew at each call.
    std::function<std::unique_ptr<Vaq::CAD::Element>()> create;
};

// Whether kind names a primitive, the keys of its elements (besides "kind", "name", "color"
// and "label"), and all primitive kinds, for messages.
bool isPrimitiveKind(const QString &kind);
QStringList primitiveKeys(const QString &kind);
QString primitiveKinds();

// The primitive of a kind isPrimitiveKind accepts, from element (its keys already checked),
// the element at where. Fails through reader for a missing key or a bad value.
PrimitiveDescription readPrimitive(
    const JsonReader &reader, const QJsonObject &element, const QString &kind, const QString &where);

} // namespace Gcad::Scene
