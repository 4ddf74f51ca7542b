// ClippingInterface: how a view tells the renderers about its clipping. The application
// implements it (a clipping plane, optionally a clipping box) and hands it out through the
// render callback; the renderers clip each element at the active plane while drawing it.
// Its static functions compute the bounding boxes of element sets for the scene box and
// for section rectangles.
#pragma once

#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_limited_plane.h"
#include "gcad/host/base/vaq_plane.h"
#include "gcad/host/cad/vaq_cad_element.h"

#include <QObject>

#include <vector>

namespace Vaq::GCAD {

class ClippingInterface : public QObject
{
    Q_OBJECT

public:
    ~ClippingInterface() override;

    // Whether the view clips at its plane now.
    virtual bool isClippingActive() const = 0;
    virtual void setClippingActive(bool active) = 0;
    // Whether a clipping plane has been defined (it may be defined but switched off).
    virtual bool isClippingPlaneDefined() const = 0;
    // Defines the plane; what lies on the side its normal points to is kept.
    virtual void setClippingPlane(const Plane3d &plane) = 0;
    // Keeps the other side: the plane's normal is reversed.
    virtual void flipClippingPlane() = 0;
    // Shifts the plane along its normal by distance (model units).
    virtual void moveClippingPlane(double distance) = 0;
    // The plane to clip at; false (and *plane unchanged) when none is defined.
    virtual bool getClippingPlane(Plane3d *plane) const = 0;
    // A clipping box keeps only what lies inside it, in addition to the plane.
    virtual bool isClippingBoxActive() const = 0;
    virtual void setClippingBoxActive(bool active) = 0;
    virtual void setClippingBox(const Box3d &box) = 0;
    // The box; false (and *box unchanged) when none is defined.
    virtual bool getClippingBox(Box3d *box) const = 0;
    // Whether the view draws the clipping plane itself as a frame.
    virtual bool isClippingPlaneShown() const = 0;
    virtual void setClippingPlaneShown(bool shown) = 0;
    // Forgets plane and box and switches clipping off.
    virtual void resetClipping() = 0;
    // A text that changes whenever what the view clips away changes (empty without active
    // clipping), so that views can tell when to lay their labels out again.
    virtual QString getDescription() const;

    // The boxes of the given type of the (element, stage) pairs, in view coordinates, in list
    // order; *boxes is replaced (the caller owns the vector and the boxes in it, by value).
    // A mesh contributes one box per spatial leaf with visible points once its render data
    // exists; until then its own box, after the trace "update visualization missing". Any
    // other element contributes its own box, or nothing when it has none for the stage.
    // Throws ProgError "null box vector" or "null element" (then *boxes is unchanged).
    static void getBoundingBoxes(const std::vector<CAD::ElementAndStageImp> &elements,
        std::vector<Box3d> *boxes, CAD::BoundingBoxType_t type);

    // The smallest rectangle on plane around the projections of the elements' boxes of the
    // given type (a mesh's per-leaf boxes fit it tighter than one box). False, and *rectangle
    // unchanged, when the boxes project onto no area: no elements, only empty boxes, boxes that
    // all project onto one line, or a plane without a normal.
    static bool calcMinRectangle(const std::vector<CAD::ElementAndStageImp> &elements, const Plane3d &plane,
        LimitedPlane3d *rectangle, CAD::BoundingBoxType_t type);
    // The rectangle a section through the elements starts from: their minimal rectangle when
    // it is at least PREVIEW_MIN_SIZE wide and high, else a square on the plane as large as
    // the largest extent of their joined boxes, about the foot of the boxes' centre (a joined
    // box shorter than 1 across counts as the box from -100 to 100).
    static void calcPreviewPlaneForSectionCreation(const std::vector<CAD::ElementAndStageImp> &elements,
        const Plane3d &plane, LimitedPlane3d *rectangle, CAD::BoundingBoxType_t type);
    static constexpr double PREVIEW_MIN_SIZE = 10.0;

protected:
    ClippingInterface();

private:
    // Appends the per-leaf boxes of a mesh's render data for stage; false when it has none.
    static bool appendMeshLeafBoxes(
        const CAD::ElementAndStageImp &entry, CAD::BoundingBoxType_t type, std::vector<Box3d> *boxes);
};

} // namespace Vaq::GCAD
