#include "apps/gcad/gcad_view_setup.h"

#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_scene_setup.h"

#include "apps/scene/scene_demo.h"
#include "apps/scene/scene_import_error.h"

#include "gcad/gcad_config.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"

#include <QColor>

#include <algorithm>

namespace Gcad {

namespace {

QString unknownView(const QString &view)
{
    return QStringLiteral("unknown view '%1' (x+, x-, y+, y-, z+, z-, iso or a corner such as x+y-z+)")
        .arg(view);
}

// "X,Y,Z[:TEXT]": a point mark, its text after the first colon.
Scene::PointMark parsePointMark(const QString &option, const QString &text)
{
    const qsizetype colon = text.indexOf(':');
    return { parsePoint(option, text.left(colon)), colon < 0 ? QString() : text.mid(colon + 1),
        std::nullopt };
}

// "NAME[:COLOR]": an element to mark, red unless a colour (a name or #rrggbb) follows.
std::pair<QString, Vaq::Color> parseMark(const QString &option, const QString &text)
{
    const qsizetype colon = text.lastIndexOf(':');
    const QString name = colon < 0 ? text : text.left(colon);
    QColor color(Qt::red);
    if (colon >= 0) {
        color = QColor::fromString(text.mid(colon + 1));
        if (!color.isValid())
            throw UsageError { option,
                QStringLiteral("'%1' is not a colour (a name such as red, or #rrggbb)")
                    .arg(text.mid(colon + 1)) };
    }
    if (name.isEmpty())
        throw UsageError { option, QStringLiteral("'%1' names no element").arg(text) };
    return { name, Vaq::Color(uint8_t(color.red()), uint8_t(color.green()), uint8_t(color.blue())) };
}

} // namespace

bool ViewSetup::readArgument(const QString &argument, ArgumentReader &reader)
{
    if (argument == "--size")
        size = parseViewSize(argument, reader.value(argument, QStringLiteral("WxH")));
    else if (argument == "--view")
        view = reader.value(argument, QStringLiteral("view name"));
    else if (argument == "--flat")
        display.flat = true;
    else if (argument == "--edges")
        display.edges = true;
    else if (argument == "--points")
        display.points = true;
    else if (argument == "--crease")
        creaseAngle = parseAngle(argument, reader.value(argument, QStringLiteral("degrees")));
    else if (argument == "--labels")
        labels = true;
    else if (argument == "--box-mode") {
        const QString text = reader.value(argument, QStringLiteral("0 or 1"));
        if (text != "0" && text != "1")
            throw UsageError { argument,
                QStringLiteral("'%1' is not 0 (distribute) or 1 (at the elements)").arg(text) };
        boxMode = text.toUInt();
    } else if (argument == "--mark")
        marks.push_back(parseMark(argument, reader.value(argument, QStringLiteral("NAME[:COLOR]"))));
    else if (argument == "--raster")
        overlay.raster = true;
    else if (argument == "--point-mark")
        overlay.pointMarks.push_back(
            parsePointMark(argument, reader.value(argument, QStringLiteral("X,Y,Z[:TEXT]"))));
    else if (argument == "--cross")
        overlay.cross = parsePoint(argument, reader.value(argument, QStringLiteral("X,Y,Z")));
    else if (argument == "--axes") {
        const QString text = reader.value(argument, QStringLiteral("corner or origin"));
        if (text == "corner")
            axes = Vaq::GCAD::RenderCallback::CSM_VIEW_CORNER;
        else if (text == "origin")
            axes = Vaq::GCAD::RenderCallback::CSM_ORIGIN;
        else
            throw UsageError { argument,
                QStringLiteral("'%1' is not corner (a cross in the lower left corner) or origin").arg(text) };
    } else if (argument == "--spotlight")
        overlay.spotlight = true;
    else if (argument.startsWith('-') && argument != "-")
        return false;
    else
        files << argument;
    return true;
}

void ViewSetup::check(const QString &command) const
{
    if (!view.isEmpty() && Vaq::GL::ViewCreator::getViewForName(view) == Vaq::GL::ViewCreator::VD_NONE)
        throw UsageError { QStringLiteral("--view"), unknownView(view) };
    if (files.size() > 1 && std::any_of(files.begin(), files.end(), isSceneFile))
        throw UsageError { command, QStringLiteral("a scene file is given alone") };
}

void ViewSetup::load(Scene::Scene &scene)
{
    load(scene, [](const Scene::ImportError &e) { throw UsageError { e.fileName(), e.reason() }; });
}

void ViewSetup::load(Scene::Scene &scene, const std::function<void(const Scene::ImportError &)> &failed)
{
    const std::optional<Scene::ViewDescription> description
        = loadSceneFiles(files, creaseAngle, scene, failed);
    if (description) {
        if (view.isEmpty())
            view = description->direction;
        if (!size)
            size = description->size;
    }
    if (files.isEmpty())
        Scene::addDemoScene(scene);
    scene.applyDisplayOptions(display);
    if (labels)
        scene.labelElements();
    scene.getOverlay().add(overlay);
    if (axes) {
        Vaq::GCAD::RenderCallback::setCoordinateAxisDrawingEnabled(true);
        Vaq::GCAD::RenderCallback::setCoordinateAxisDrawingMode(*axes);
    }
    const std::vector<Vaq::CAD::Element *> elements = scene.getElements();
    for (const auto &[name, color] : marks) {
        bool found = false;
        for (Vaq::CAD::Element *element : elements) {
            if (element->getFileName() == name) {
                scene.markElement(element, color);
                found = true;
            }
        }
        if (!found)
            throw UsageError { QStringLiteral("--mark"), QStringLiteral("no element named '%1'").arg(name) };
    }
}

Vaq::BaVec3d<double> ViewSetup::getRotation() const
{
    Vaq::BaVec3d<double> rotation;
    Vaq::GL::ViewCreator::getViewForName(view.isEmpty() ? QStringLiteral("iso") : view, &rotation);
    return rotation;
}

LabelsShown::LabelsShown(unsigned boxMode)
    : m_shown(Vaq::Cfg::getRoot().getBool(Vaq::GCAD::CFG_GCAD_SHOW_LABELS))
    , m_box_mode(Vaq::Cfg::getRoot().getUInt(Vaq::GCAD::CFG_GCAD_BOX_MODE))
{
    Vaq::Cfg::getRoot().setBool(Vaq::GCAD::CFG_GCAD_SHOW_LABELS, true);
    Vaq::Cfg::getRoot().setUInt(Vaq::GCAD::CFG_GCAD_BOX_MODE, boxMode);
}

LabelsShown::~LabelsShown()
{
    Vaq::Cfg::getRoot().setBool(Vaq::GCAD::CFG_GCAD_SHOW_LABELS, m_shown);
    Vaq::Cfg::getRoot().setUInt(Vaq::GCAD::CFG_GCAD_BOX_MODE, m_box_mode);
}

} // namespace Gcad
