// PlaneClipping: the clipping an application offers, reduced to what drawing asks: one
// plane, switched on and off. Boxes and the plane's frame are never asked for while drawing.
#pragma once

#include "gcad/clipping/gcad_clipping_interface.h"

namespace Vaq::Test {

class PlaneClipping : public GCAD::ClippingInterface
{
public:
    bool isClippingActive() const override { return m_active; }
    void setClippingActive(bool active) override { m_active = active; }
    bool isClippingPlaneDefined() const override { return true; }
    void setClippingPlane(const Plane3d &plane) override { m_plane = plane; }
    void flipClippingPlane() override { m_plane = Plane3d(m_plane.getPoint(), -m_plane.getNormal()); }
    void moveClippingPlane(double) override { }
    bool getClippingPlane(Plane3d *plane) const override
    {
        *plane = m_plane;
        return true;
    }
    bool isClippingBoxActive() const override { return false; }
    void setClippingBoxActive(bool) override { }
    void setClippingBox(const Box3d &) override { }
    bool getClippingBox(Box3d *) const override { return false; }
    bool isClippingPlaneShown() const override { return false; }
    void setClippingPlaneShown(bool) override { }
    void resetClipping() override { m_active = false; }

private:
    bool m_active = false;
    Plane3d m_plane;
};

} // namespace Vaq::Test
