#include "bench/inspection_plan.h"

#include "bench/split_mix_random.h"
#include "gcad/host/cad/vaq_cad_distance.h"
#include "gcad/host/cad/vaq_cad_measurement.h"
#include "gcad/host/cad/vaq_cad_primitive_circle.h"
#include "gcad/host/cad/vaq_cad_primitive_line.h"
#include "gcad/host/cad/vaq_cad_primitive_plane.h"
#include "gcad/host/cad/vaq_cad_primitive_point.h"
#include "gcad/host/cad/vaq_cad_primitive_slot.h"
#include "gcad/host/cad/vaq_cad_primitive_solid.h"

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
    for (unsigned i = 0; i < size.primitives; ++i) {
        const Vec c = somewhere();
        const double r = step / 2;
        switch (i % 9) {
        case 0:
            elements.push_back(std::make_unique<CAD::PointBase>(c));
            break;
        case 1: {
            auto line = std::make_unique<CAD::LineBase>(c, c + Vec(2 * step, step, 0));
            line->setSymbols(CAD::LineBase::LS_POINT, CAD::LineBase::LS_ARROW);
            elements.push_back(std::move(line));
            break;
        }
        case 2:
            elements.push_back(std::make_unique<CAD::CircleBase>(Circle3d(c, z, r)));
            break;
        case 3:
            elements.push_back(std::make_unique<CAD::PlaneBase>(c, Vec(0, 1, 1), step));
            break;
        case 4:
            elements.push_back(std::make_unique<CAD::LongholeBase>(c, c + Vec(step, 0, 0), z, r));
            break;
        case 5:
            elements.push_back(std::make_unique<CAD::SphereBase>(Sphere3d(c, r)));
            break;
        case 6:
            elements.push_back(std::make_unique<CAD::CylinderBase>(Cylinder3d(c, Vec(1, 1, 1), r / 2, step)));
            break;
        case 7:
            elements.push_back(std::make_unique<CAD::ConeBase>(Cone3d(c, r, c + Vec(0, 0, step), r / 3)));
            break;
        default:
            elements.push_back(std::make_unique<CAD::RegularPolyholeBase>(c, z, c + Vec(r, 0, 0), 6));
            break;
        }
    }
}

} // namespace Vaq::Bench
