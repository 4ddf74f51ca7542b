#include "bench/inspection_plan.h"

#include "bench/split_mix_random.h"
#include "gcad/host/cad/vaq_cad_distance.h"
#include "gcad/host/cad/vaq_cad_gps.h"
#include "gcad/host/cad/vaq_cad_measurement.h"
#include "gcad/host/cad/vaq_cad_other.h"
#include "gcad/host/cad/vaq_cad_pmp.h"

namespace Vaq::Bench {

using CAD::ElementCreator;
using Vec = BaVec3d<double>;

void buildInspectionPlan(
    const InspectionPlanSize &size, double plate, std::vector<std::unique_ptr<CAD::Element>> &elements)
{
    SplitMixRandom random(20);
    const auto somewhere = [&] { return Vec(random.uniform() * plate, random.uniform() * plate, 0.0); };
    const Vec z(0, 0, 1), x(1, 0, 0);
    const double step = plate / 100.0; // the size of one feature

    for (unsigned i = 0; i < size.measurements; ++i) {
        const Vec p = somewhere(), q = p + Vec(3 * step, step, 0);
        switch (i % 4) {
        case 0:
        case 1: {
            auto distance = std::make_unique<CAD::DistanceBase>(ElementCreator::DISTANCE, p, q);
            if (i % 4 == 0)
                distance->getPullOut()->pullTo(p + Vec(0, 2 * step, 0));
            elements.push_back(std::move(distance));
            break;
        }
        case 2: {
            auto angle = std::make_unique<CAD::AngleMeasurement>(ElementCreator::ANGLE, p, x, Vec(1, 1, 0));
            angle->setLegLength(2 * step);
            elements.push_back(std::move(angle));
            break;
        }
        default:
            elements.push_back(std::make_unique<CAD::DiscCaliper>(p, q, x, step / 2, i % 8 == 3));
            break;
        }
    }
    for (unsigned i = 0; i < size.features; ++i) {
        const Vec p = somewhere();
        switch (i % 5) {
        case 0: {
            auto tolerance = std::make_unique<CAD::GpsElement>(ElementCreator::GPS_FLATNESS);
            CAD::GpsRenderData data;
            data.planes.push_back({ p, p + Vec(step, 0, 0), p + Vec(step, step, 0), p + Vec(0, step, 0) });
            data.points.push_back(p);
            tolerance->setRenderData(std::move(data));
            elements.push_back(std::move(tolerance));
            break;
        }
        case 1:
        case 2: {
            auto point = std::make_unique<CAD::PmpElement>(ElementCreator::PMP_SURFACE_POINT_CHANGE);
            point->setNominalPoint(p, z);
            point->setVectorLength(step);
            elements.push_back(std::move(point));
            break;
        }
        case 3: {
            auto hole = std::make_unique<CAD::PmpElement>(ElementCreator::PMP_CIRCLE_CHANGE);
            hole->setNominalCircle(Circle3d(p, z, step / 2));
            elements.push_back(std::move(hole));
            break;
        }
        default:
            elements.push_back(std::make_unique<CAD::ScaleBar>(p, p + Vec(step, step, 0)));
            break;
        }
    }
}

} // namespace Vaq::Bench
