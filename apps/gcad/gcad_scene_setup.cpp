#include "apps/gcad/gcad_scene_setup.h"

#include "apps/scene/scene_file_loader.h"
#include "apps/scene/scene_import.h"
#include "apps/scene/scene_points.h"

#include <QFileInfo>

#include <memory>
#include <variant>

namespace Gcad {

bool isSceneFile(const QString &file)
{
    return QFileInfo(file).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0;
}

std::optional<Scene::ViewDescription> loadSceneFiles(const QStringList &files, double creaseAngle,
    Scene::Scene &scene, const std::function<void(const Scene::ImportError &)> &failed)
{
    if (files.size() == 1 && isSceneFile(files.front())) {
        try {
            const Scene::ViewDescription view = Scene::loadSceneFile(files.front(), scene, creaseAngle);
            if (view.background)
                scene.setBackground(*view.background);
            return view;
        } catch (const Scene::ImportError &e) {
            failed(e);
            return std::nullopt;
        }
    }
    for (const QString &file : files) {
        try {
            Scene::ImportedData data = Scene::importFile(file, creaseAngle);
            if (auto *cloud = std::get_if<Scene::PointCloud>(&data)) {
                scene.addPoints(Scene::createPointsElement(std::move(*cloud), file));
                continue;
            }
            scene.addMesh(std::move(std::get<std::unique_ptr<Vaq::CAD::PolyBase>>(data)));
        } catch (const Scene::ImportError &e) {
            failed(e);
        }
    }
    return std::nullopt;
}

} // namespace Gcad
