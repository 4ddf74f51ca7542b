// gcad pick: draws a scene as `gcad render` does and asks the view what lies under a pixel or
// inside a rectangle, which scene point the view would turn about at the pixel, and whose
// pull-out handle (the square that drags a distance's dimension line) is near the pixel.
#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"
#include "apps/gcad/gcad_options.h"
#include "apps/gcad/gcad_view_setup.h"

#include "apps/scene/scene_render_callback.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_points_base.h"
#include "gcad/host/gl/vaq_gl_render_object.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRect>
#include <QRegularExpression>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace Gcad {

namespace {

struct PickOptions
{
    ViewSetup setup;
    std::optional<QPoint> at;
    std::optional<QRect> rect;
    bool json = false;
};

// count whole numbers separated by commas.
std::vector<int> parseNumbers(const QString &option, const QString &text, int count, const QString &form)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]{1,6}$"));
    const QStringList parts = text.split(',');
    std::vector<int> numbers;
    for (const QString &part : parts) {
        if (!number.match(part).hasMatch())
            break;
        numbers.push_back(part.toInt());
    }
    if (int(numbers.size()) != count || parts.size() != count)
        throw UsageError { option, QStringLiteral("'%1' is not %2 with whole numbers").arg(text, form) };
    return numbers;
}

PickOptions parsePickOptions(const QStringList &arguments)
{
    PickOptions options;
    ArgumentReader reader(QStringLiteral("pick"), arguments);
    while (!reader.atEnd()) {
        const QString argument = reader.next();
        if (argument == "--at") {
            const QString form = QStringLiteral("X,Y");
            const std::vector<int> n = parseNumbers(argument, reader.value(argument, form), 2, form);
            options.at = QPoint(n[0], n[1]);
        } else if (argument == "--rect") {
            const QString form = QStringLiteral("X0,Y0,X1,Y1");
            const std::vector<int> n = parseNumbers(argument, reader.value(argument, form), 4, form);
            if (n[0] > n[2] || n[1] > n[3])
                throw UsageError { argument,
                    QStringLiteral("the corners are swapped (X0 <= X1 and Y0 <= Y1)") };
            options.rect = QRect(QPoint(n[0], n[1]), QPoint(n[2], n[3]));
        } else if (argument == "--json") {
            options.json = true;
        } else if (!options.setup.readArgument(argument, reader)) {
            reader.rejectOption(argument);
        }
    }
    options.setup.check(QStringLiteral("pick"));
    if (!options.at && !options.rect)
        throw UsageError { QStringLiteral("pick"),
            QStringLiteral("--at X,Y or --rect X0,Y0,X1,Y1 is needed") };
    return options;
}

// Pixels count from the upper left corner of the picture; the view's from the lower left.
Vaq::BaVec2d<double> toWindow(const QPoint &pixel, const QSize &size)
{
    return { double(pixel.x()), double(size.height() - 1 - pixel.y()) };
}

QString kindOf(const Vaq::CAD::Element *element)
{
    if (dynamic_cast<const Vaq::CAD::PolyBase *>(element))
        return QStringLiteral("mesh");
    if (dynamic_cast<const Vaq::CAD::PointsBase *>(element))
        return QStringLiteral("points");
    return QString::fromLatin1(Vaq::CAD::ElementCreator::getTypeName(element->getType()));
}

} // namespace

int runPick(const QStringList &arguments)
{
    PickOptions options = parsePickOptions(arguments);
    Scene::Scene scene;
    options.setup.load(scene);
    const QSize size = options.setup.getSize();
    const QRect view(QPoint(0, 0), size);
    const QString outside = QStringLiteral("outside the %1x%2 view").arg(size.width()).arg(size.height());
    if (options.at && !view.contains(*options.at))
        throw UsageError { QStringLiteral("--at"), outside };
    if (options.rect && !view.contains(*options.rect))
        throw UsageError { QStringLiteral("--rect"), outside };

    Scene::SceneRenderCallback callback(scene);
    // The view goes before its callback.
    const std::unique_ptr<Vaq::GL::RenderObject> renderObject(
        Vaq::GL::RenderObject::createRenderObject(&callback, size.width(), size.height()));
    std::vector<Vaq::CAD::Element *> elements;
    bool centreFound = false;
    double depth = 0.0;
    Vaq::BaVec3d<double> centre;
    Vaq::CAD::Element *handleOf = nullptr;
    const LabelsShown labelsShown(options.setup.boxMode);
    try {
        renderObject->setRotation(options.setup.getRotation());
        renderObject->fitView();
        renderObject->repaintWidget();
        // The rectangle's rows run the other way in the view.
        const QRect area = options.rect ? *options.rect : QRect(*options.at, *options.at);
        elements = callback.getRenderedElements(
            toWindow(area.bottomLeft(), size), toWindow(area.topRight(), size), true, false);
        if (options.at) {
            const Vaq::BaVec2d<double> pixel = toWindow(*options.at, size);
            centreFound = callback.getRotationCenterPoint(int(pixel.x), int(pixel.y), &depth, &centre);
            if (!callback.getPullOutDist(pixel, &handleOf))
                handleOf = nullptr;
        }
    } catch (const Vaq::ProgError &e) {
        return reportError(QStringLiteral("pick"), e.message(), 1);
    }

    if (options.json) {
        QJsonArray list;
        for (const Vaq::CAD::Element *element : elements)
            list.append(QJsonObject { { "name", element->getFileName() }, { "kind", kindOf(element) } });
        QJsonObject result { { "elements", list } };
        if (centreFound) {
            result.insert("point", QJsonArray { centre.x, centre.y, centre.z });
            result.insert("depth", depth);
        }
        if (handleOf)
            result.insert(
                "handle", QJsonObject { { "name", handleOf->getFileName() }, { "kind", kindOf(handleOf) } });
        std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    } else {
        for (const Vaq::CAD::Element *element : elements)
            std::printf("%s (%s)\n", element->getFileName().toUtf8().constData(),
                kindOf(element).toUtf8().constData());
        if (centreFound)
            std::printf("rotation centre: %.9g %.9g %.9g, depth %.9g\n", centre.x, centre.y, centre.z, depth);
        if (handleOf)
            std::printf("pull-out handle of %s (%s)\n", handleOf->getFileName().toUtf8().constData(),
                kindOf(handleOf).toUtf8().constData());
        if (elements.empty() && !centreFound && !handleOf)
            std::printf("nothing\n");
    }
    std::fflush(stdout);
    return 0;
}

} // namespace Gcad
