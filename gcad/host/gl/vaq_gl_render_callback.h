// RenderCallback: what a view calls to paint itself. The library derives its callback from
// this base; the view (RenderObject) drives the virtual operations through each repaint
// and the base answers the view's state (stage, update options, transformation).
#pragma once

#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_update_options.h"

#include <QObject>
#include <QString>

#include <vector>

class QWidget;

namespace Vaq::GL {

class ViewCreator;

class RenderCallback : public QObject
{
    Q_OBJECT

public:
    // How a linked view follows this one.
    enum LinkMode_t {
        LM_NONE = 0, // not linked
        LM_VIEW = 1, // follows rotation, zoom and pan
        LM_SELECTION = 2, // shares the selection only; its view stays
        LM_VIEW_AND_SELECTION = 3, // both
    };
    struct LinkedRenderCallback
    {
        RenderCallback *callback = nullptr;
        LinkMode_t linkMode = LM_NONE;
    };

    explicit RenderCallback(QObject *parent = nullptr);
    ~RenderCallback() override;

    RenderObject *getRenderObject() const { return m_render_object; }
    // The render object's current stage, RS_NONE outside a repaint or without a view.
    RenderObject::RenderStage_t getRenderStage() const;
    // The update options of the repaint in progress (or of the last one).
    const UpdateOptions &getUpdateOptions() const;
    // The widget that shows the view; null for off-screen views.
    QWidget *getViewWidget() const { return m_view_widget; }
    void setViewWidget(QWidget *widget) { m_view_widget = widget; }
    ViewCreator *getViewCreator() const { return m_view_creator; }
    void setViewCreator(ViewCreator *creator) { m_view_creator = creator; }
    // The view's model-to-window transformation; the identity without a view.
    Transformation get3d2dTransformation() const;

    const std::vector<LinkedRenderCallback> &getLinkedRenderCallbacks() const { return m_linked; }
    // Links other (not owned) with the given mode; LM_NONE or a second call replaces the
    // mode. Linking a callback to itself is ignored. A destroyed callback leaves every list.
    void linkRenderCallback(RenderCallback *other, LinkMode_t mode);
    void unlinkRenderCallback(RenderCallback *other);

    // The callback of the view that leads the frame-rate plan: the one set, else the
    // main view's.
    static RenderCallback *getMasterRenderCallback();
    static void setMasterRenderCallback(RenderCallback *callback);

    // Forces the next repaint to lay the labels out anew, even for overlay-only repaints.
    bool isNewLabelLayoutForced() const { return m_force_new_label_layout; }
    void forceNewLabelLayout(bool force) { m_force_new_label_layout = force; }

    // Called once when a view takes this callback.
    virtual void setupRenderCallback() { }
    // The drive contract of one repaint: initAllElementsForDrawing, then for each render
    // stage 0 to 5 preDraw, draw until it returns true, postDraw.
    virtual void initAllElementsForDrawing() { }
    virtual void preDraw() { }
    virtual bool draw() { return true; }
    virtual void postDraw() { }
    // Drop everything kept on the GPU for this view.
    virtual void resetAllRenderData() { }
    // The view's context is about to go away (still current).
    virtual void widgetAboutToBeDestroyed() { }
    virtual bool isZoomingAllowed() { return true; }
    virtual bool isMovingAllowed() { return true; }
    // May widen the scene box the view volume is fitted to; true when it did.
    virtual bool extendViewVolume(BaVec3d<double> *min, BaVec3d<double> *max);
    // The scene box; false when there is nothing to show.
    virtual bool getBoundingBox(BaVec3d<double> *min, BaVec3d<double> *max);
    virtual QString getContextMenuName() { return QString(); }
    // Interaction notices from the view's widget.
    virtual void motionFinished() { }
    virtual void focusChanged(bool hasFocus);
    virtual void focusChangedTimeout() { }

private:
    friend class RenderObject;
    void setRenderObject(RenderObject *renderObject) { m_render_object = renderObject; }

    RenderObject *m_render_object = nullptr;
    QWidget *m_view_widget = nullptr;
    ViewCreator *m_view_creator = nullptr;
    std::vector<LinkedRenderCallback> m_linked;
    std::vector<RenderCallback *> m_linked_by; // callbacks whose list holds this one
    bool m_force_new_label_layout = false;

    static RenderCallback *_master_render_callback;
};

} // namespace Vaq::GL
