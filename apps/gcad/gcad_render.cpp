#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"
#include "apps/gcad/gcad_inspection_setup.h"
#include "apps/gcad/gcad_options.h"
#include "apps/gcad/gcad_picture_output.h"
#include "apps/gcad/gcad_render_snapshot.h"
#include "apps/gcad/gcad_view_setup.h"

#include "apps/scene/scene_image.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

namespace Gcad {

namespace {

struct RenderOptions
{
    ViewSetup setup;
    InspectionSetup inspection;
    QString output = QStringLiteral("gcad.png");
    // The longer side of a snapshot document's picture; unset: no snapshot.
    std::optional<int> snapshot;
    // Where the label layout goes as JSON; empty: nowhere.
    QString labelsJson;
};

RenderOptions parseRenderOptions(const QStringList &arguments)
{
    RenderOptions options;
    ArgumentReader reader(QStringLiteral("render"), arguments);
    while (!reader.atEnd()) {
        const QString argument = reader.next();
        if (argument == "-o")
            options.output = reader.value(argument, QStringLiteral("picture file"));
        else if (argument == "--snapshot") {
            const QString text = reader.value(argument, QStringLiteral("pixels"));
            bool ok = false;
            options.snapshot = text.toInt(&ok);
            if (!ok || *options.snapshot < 1)
                throw UsageError { argument,
                    QStringLiteral("'%1' is not a whole number of pixels").arg(text) };
        } else if (argument == "--labels-json")
            options.labelsJson = reader.value(argument, QStringLiteral("JSON file"));
        else if (!options.setup.readArgument(argument, reader)
            && !options.inspection.readArgument(argument, reader))
            reader.rejectOption(argument);
    }
    options.setup.check(QStringLiteral("render"));
    options.inspection.check();
    if (!options.labelsJson.isEmpty() && options.snapshot)
        throw UsageError { QStringLiteral("--labels-json"),
            QStringLiteral("the layout of a snapshot is not written") };
    return options;
}

} // namespace

int runRender(const QStringList &arguments)
{
    QElapsedTimer timer;
    timer.start();
    RenderOptions options = parseRenderOptions(arguments);
    const PictureOutput output(options.output);

    Scene::Scene scene;
    options.setup.load(scene);
    // The sections are cut and summed up; drawing them waits for the section elements.
    printSectionSummary(options.inspection.sections, options.inspection.apply(scene, options.setup));

    // A snapshot document for --snapshot and for PDF, which shows the view's own pixels then.
    const QSize size = options.setup.getSize();
    const bool snapshot = options.snapshot || output.isPdf();
    QImage image;
    std::unique_ptr<Vaq::Fig2::SnapshotData> document;
    Scene::LabelLayout layout;
    const LabelsShown labelsShown(options.setup.boxMode);
    try {
        if (snapshot)
            document = renderSceneSnapshot(scene, size, options.setup.getRotation(),
                options.snapshot.value_or(std::max(size.width(), size.height())));
        else
            image = Scene::renderSceneImage(scene, size, options.setup.getRotation(), &layout);
    } catch (const Vaq::ProgError &e) {
        if (options.snapshot && *options.snapshot > largestSnapshotEdge())
            return reportError(QStringLiteral("--snapshot"),
                QStringLiteral("%1 pixels is more than this driver's largest frame buffer (%2)")
                    .arg(*options.snapshot)
                    .arg(largestSnapshotEdge()),
                2);
        return reportError(QStringLiteral("render"), e.message(), 1);
    }
    QString error;
    if (!(document ? output.write(*document, &error) : output.write(image, &error)))
        return reportError(options.output, QStringLiteral("cannot write (%1)").arg(error), 1);
    if (!options.labelsJson.isEmpty()) {
        QSaveFile file(options.labelsJson);
        if (!file.open(QIODevice::WriteOnly) || file.write(Scene::toJson(layout).toJson()) < 0
            || !file.commit())
            return reportError(
                options.labelsJson, QStringLiteral("cannot write (%1)").arg(file.errorString()), 1);
    }
    const QSize pixels = document ? document->getImageSize() : image.size();
    if (output.isStandardOutput())
        return 0;

    std::printf("wrote %s: %dx%d pixels, %zu elements, %zu triangles, %zu points, %.2f s\n",
        QFileInfo(options.output).absoluteFilePath().toUtf8().constData(), pixels.width(), pixels.height(),
        scene.getElements().size(), scene.getNumberOfTriangles(), scene.getNumberOfPoints(),
        timer.elapsed() / 1000.0);
    std::fflush(stdout);
    return 0;
}

} // namespace Gcad
