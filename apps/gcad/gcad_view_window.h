// The window of `gcad view`: a scene's view (Vaq::GL::ViewWidget) with a status bar. The view's
// 3-D overlay highlights the element under the mouse and shows the axis cross in the lower left
// corner; a click on one of its parts turns the view to that direction, a click on an element
// marks it and labels it, Escape unmarks all, P shows the section preview through the marked
// elements across x, then y, then z, then none, a double-click turns the view about the scene
// point under the mouse from then on. The status
// bar names the element under the mouse, the frame rate of the last motion and the scene's
// triangle and point counts, and shows the progress of long repaints. S writes a
// high-resolution snapshot of the view (RenderCallback::createSnapshot) as a PNG picture.
#pragma once

#include "apps/scene/scene.h"
#include "apps/scene/scene_render_callback.h"

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/host/gl/vaq_gl_view_widget.h"

#include <QMainWindow>
#include <QString>

#include <set>

class QLabel;
class QProgressBar;

namespace Gcad {
class SectionPreview;
}

namespace Gcad {

class ViewerWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The colour of clicked elements.
    static const Vaq::Color MARK_COLOR;

    // Shows scene through callback (both not owned; they outlive the window) in a view of
    // viewSize pixels. Snapshots go to snapshotBase plus "-snapshot.png" (or "-snapshot-2.png"
    // ... where that exists). screenshotPath: where the view's picture on screen is saved
    // when the window closes (empty: nowhere).
    ViewerWindow(const Scene::Scene &scene, Scene::SceneRenderCallback &callback, const QSize &viewSize,
        const QString &snapshotBase, const QString &screenshotPath);
    // The view goes before the creator it was made by.
    ~ViewerWindow() override;

    Vaq::GL::ViewWidget &getView() { return *m_view; }
    // A message in the status bar until the next one.
    void showMessage(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void hover(const QPoint &pixel);
    void click(const QPoint &pixel);
    void setRotationCenter(const QPoint &pixel);
    void unmarkAll();
    // The next section preview: across x, y, z, then none.
    void nextSectionPreview();
    // Takes the snapshot once no repaint runs.
    void takeSnapshot();
    // The element drawn at the GL window pixel, or null.
    Vaq::CAD::Element *elementAt(const QPoint &pixel) const;
    void saveScreenshot();

    Scene::SceneRenderCallback &m_callback;
    // Tells the view's callback along which direction the view looks.
    Vaq::GL::ViewCreator m_creator;
    Vaq::GL::ViewWidget *m_view;
    QString m_snapshot_base;
    QString m_screenshot_path;
    QLabel *m_element_label;
    QLabel *m_fps_label;
    QProgressBar *m_progress;
    SectionPreview *m_section_preview;
    int m_section_axis = -1; // shown across this axis; -1: none
    Vaq::CAD::Element *m_hovered = nullptr;
    std::set<Vaq::CAD::Element *> m_marked; // clicked
    std::set<Vaq::CAD::Element *> m_labelled; // labels given by a click
};

// The name the status bar gives an element: its file's name.
QString elementName(const Vaq::CAD::Element &element);

} // namespace Gcad
