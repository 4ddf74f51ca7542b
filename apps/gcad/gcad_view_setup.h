// ViewSetup: what `gcad render` and `gcad pick` share: the files to show (meshes and point
// files, or one scene file, or else the demo scene), the view's size and direction and the
// display options, read from the command's arguments and loaded into a Scene.
#pragma once

#include "apps/gcad/gcad_options.h"

#include "apps/scene/scene.h"
#include "apps/scene/scene_import_error.h"

#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace Gcad {

struct ViewSetup
{
    QStringList files;
    // Unset: what the scene file says, else 1280 x 960 and the iso view.
    std::optional<QSize> size;
    QString view;
    Scene::DisplayOptions display;
    double creaseAngle = Vaq::CAD::PolyBase::DEFAULT_CREASE_ANGLE;
    bool labels = false;
    // 0: labels distributed around the view, 1: placed at their elements.
    unsigned boxMode = 0;
    // Added to what a scene file says; the crosshair replaces the file's.
    Scene::OverlayOptions overlay;
    // Where the coordinate axes stand; unset: none.
    std::optional<Vaq::GCAD::RenderCallback::CoordSystemMode_t> axes;
    // Elements to mark, by name, each in a colour.
    std::vector<std::pair<QString, Vaq::Color>> marks;

    // Takes argument (with its value from reader) when it is a file or one of --size, --view,
    // --flat, --edges, --points, --crease, --labels, --box-mode, --raster, --point-mark, --cross,
    // --mark, --axes, --spotlight; false for any other option.
    bool readArgument(const QString &argument, ArgumentReader &reader);
    // Throws UsageError for an unknown view name or a scene file given with other files.
    void check(const QString &command) const;
    // Loads the files (the demo scene without any) into scene with the display options, the
    // labels, the overlay's marks and the marked elements, and completes size and view with
    // what a scene file says; import errors and unknown element names are UsageErrors. The
    // axes are switched on for every view of the program (a setting shared by all views).
    // Meshes get vertex normals split where their facets differ by more than the crease angle.
    void load(Scene::Scene &scene);
    // The same, but a file that cannot be read is handed to failed and the rest loaded.
    void load(Scene::Scene &scene, const std::function<void(const Scene::ImportError &)> &failed);

    QSize getSize() const { return size.value_or(QSize(1280, 960)); }
    // The view rotation of the view name (iso when none is given).
    Vaq::BaVec3d<double> getRotation() const;
};

// Shows the elements' labels, placed in the given box mode, while a picture is drawn: the
// configured choices are for the application's views, and a picture shows exactly the labels
// it was asked for.
class LabelsShown
{
public:
    explicit LabelsShown(unsigned boxMode);
    ~LabelsShown();
    LabelsShown(const LabelsShown &) = delete;
    LabelsShown &operator=(const LabelsShown &) = delete;

private:
    bool m_shown;
    unsigned m_box_mode;
};

} // namespace Gcad
