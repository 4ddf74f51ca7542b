// GPS elements: datum systems and the form and position tolerances of geometric tolerancing.
// The model hands the renderer a ready list of shapes (GpsRenderData: plane
// outlines, line segments, cylinders, points and spheres) that shows the tolerated feature and
// its zone; the tolerance frame ("⏥ 0.05 A B") is the element's text.
#pragma once

#include "gcad/host/base/vaq_shapes.h"
#include "gcad/host/cad/vaq_cad_drawn_element.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace Vaq::CAD {

struct GpsRenderData
{
    struct Cylinder
    {
        BaVec3d<double> center; // the middle of the axis
        BaVec3d<double> axis;
        double diameter = 0.0;
        double height = 0.0;
    };

    std::vector<std::vector<BaVec3d<double>>> planes; // closed outlines
    std::vector<std::pair<BaVec3d<double>, BaVec3d<double>>> lines;
    std::vector<Cylinder> cylinders;
    std::vector<BaVec3d<double>> points;
    std::vector<Sphere3d> spheres;

    bool isEmpty() const;
};

class GpsElement : public DrawnElement
{
public:
    // GPS_DATUM_SYSTEM, GPS_FLATNESS, GPS_STRAIGHTNESS or GPS_ROUNDNESS ... GPS_TOTAL_RUNOUT.
    explicit GpsElement(ElementCreator::Element_t type);

    const GpsRenderData &getRenderData() const { return m_render_data; }
    void setRenderData(GpsRenderData data) { m_render_data = std::move(data); }

    // The tolerance value (model units) and the datums it refers to; a datum system names its
    // datums only.
    double getTolerance() const { return m_tolerance; }
    void setTolerance(double tolerance) { m_tolerance = tolerance; }
    const QStringList &getDatums() const { return m_datums; }
    void setDatums(const QStringList &datums) { m_datums = datums; }
    // The characteristic's symbol (ISO 1101), empty for a datum system.
    QString getSymbol() const;
    // The frame as one line of text: symbol, tolerance, datums, separated by spaces.
    QString getFrameText() const;

protected:
    void extendBox(Box3d &box) const override;

private:
    GpsRenderData m_render_data;
    double m_tolerance = 0.0;
    QStringList m_datums;
};

} // namespace Vaq::CAD
