// ViewCreator: what a 3-D view is made from and how it is set up: its render callback, an
// optional editor that may take the mouse, and the named standard view directions (axis
// views and diagonals) with the rotation that turns the view to each.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"

#include <QString>

namespace Vaq::GL {

class RenderCallback;

// An interactive editor working in a view (for example a section being dragged).
class EditorInterface
{
public:
    virtual ~EditorInterface() = default;
    virtual bool isEditing() const { return false; }
    // Whether the editor takes the mouse at window pixel (x, y), origin lower left.
    virtual bool claimsPosition(int x, int y) const;
};

class ViewCreator
{
public:
    // A direction names the side the viewer stands on: VD_X_PLUS looks from +x towards
    // the origin, that is along -x. Diagonals look from the named octant corner.
    enum ViewDirection_t {
        VD_X_PLUS = 0,
        VD_X_MINUS = 1,
        VD_Y_PLUS = 2,
        VD_Y_MINUS = 3,
        VD_Z_PLUS = 4,
        VD_Z_MINUS = 5,
        VD_XP_YP_ZP = 6,
        VD_XM_YP_ZP = 7,
        VD_XP_YM_ZP = 8,
        VD_XP_YP_ZM = 9,
        VD_XM_YM_ZP = 10,
        VD_XM_YP_ZM = 11,
        VD_XP_YM_ZM = 12,
        VD_XM_YM_ZM = 13,
        VD_NONE = 14,
    };

    // callback and editor are not owned.
    explicit ViewCreator(RenderCallback *callback = nullptr, EditorInterface *editor = nullptr);
    virtual ~ViewCreator();

    RenderCallback *getRenderCallback() const { return m_callback; }
    void setRenderCallback(RenderCallback *callback) { m_callback = callback; }
    EditorInterface *getEditorInterface() const { return m_editor; }
    void setEditorInterface(EditorInterface *editor) { m_editor = editor; }

    // The standard direction the view looks along now (within 1e-6 of it), VD_NONE when
    // it looks along none or has no view.
    ViewDirection_t getMainViewDirection() const;

    // A line of text shown over the view's top edge (for example that it is clipped); the
    // window showing the view paints it. An empty text shows nothing.
    void setHeading(const QString &text, int size, const Color &color);
    const QString &getHeading() const { return m_heading; }
    int getHeadingSize() const { return m_heading_size; }
    const Color &getHeadingColor() const { return m_heading_color; }
    // The point size of a 3-D view's heading.
    static constexpr int HEADING_SIZE_3D = 12;

    // Stored, and passed on to the view when there is one.
    void setBackgroundColor(const Color &color);
    const Color &getBackgroundColor() const { return m_background; }

    // "x+", "x-", "y+", "y-", "z+", "z-", "x+y+z+" ... "x-y-z-" and "iso" (= "x+y+z+"),
    // in any case; VD_NONE for anything else. rotation (optional) receives the view
    // rotation (Euler angles for RenderObject::setRotation) of the direction found.
    static ViewDirection_t getViewForName(const QString &name, BaVec3d<double> *rotation = nullptr);
    // The name getViewForName takes ("x+" ...), empty for VD_NONE.
    static QString getViewName(ViewDirection_t direction);
    // Rotation that makes the view look from direction, with z up (y up for the z views).
    // False for VD_NONE.
    static bool getRotationForView(ViewDirection_t direction, BaVec3d<double> *rotation);
    // The unit vector the viewer looks along (towards the origin); zero for VD_NONE.
    static BaVec3d<double> getViewDirectionVector(ViewDirection_t direction);
    // x+ <-> x-, and each diagonal to the opposite corner.
    static ViewDirection_t getOppositeDirection(ViewDirection_t direction);

private:
    RenderCallback *m_callback;
    EditorInterface *m_editor;
    Color m_background { 0, 0, 0, 255 };
    QString m_heading;
    int m_heading_size = HEADING_SIZE_3D;
    Color m_heading_color { 255, 255, 255 };
};

} // namespace Vaq::GL
