#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"
#include "apps/gcad/gcad_options.h"
#include "apps/gcad/gcad_picture_output.h"
#include "apps/gcad/gcad_view_setup.h"

#include "apps/scene/scene_image.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

namespace Gcad {

namespace {

struct RenderOptions
{
    ViewSetup setup;
    QString output = QStringLiteral("gcad.png");
};

RenderOptions parseRenderOptions(const QStringList &arguments)
{
    RenderOptions options;
    ArgumentReader reader(QStringLiteral("render"), arguments);
    while (!reader.atEnd()) {
        const QString argument = reader.next();
        if (argument == "-o")
            options.output = reader.value(argument, QStringLiteral("picture file"));
        else if (!options.setup.readArgument(argument, reader))
            reader.rejectOption(argument);
    }
    options.setup.check(QStringLiteral("render"));
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

    QImage image;
    const LabelsShown labelsShown;
    try {
        image = Scene::renderSceneImage(scene, options.setup.getSize(), options.setup.getRotation());
    } catch (const Vaq::ProgError &e) {
        return reportError(QStringLiteral("render"), e.message(), 1);
    }
    QString error;
    if (!output.write(image, &error))
        return reportError(options.output, QStringLiteral("cannot write (%1)").arg(error), 1);
    if (output.isStandardOutput())
        return 0;

    std::printf("wrote %s: %dx%d pixels, %zu elements, %zu triangles, %zu points, %.2f s\n",
        QFileInfo(options.output).absoluteFilePath().toUtf8().constData(), image.width(), image.height(),
        scene.getElements().size(), scene.getNumberOfTriangles(), scene.getNumberOfPoints(),
        timer.elapsed() / 1000.0);
    std::fflush(stdout);
    return 0;
}

} // namespace Gcad
