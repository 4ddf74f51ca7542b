// The scene of an inspection plan for the repaint benchmarks: measurements and fitted or nominal
// primitives spread over a plate of size x size model units, built from plain values and owned
// by the caller.
#pragma once

#include "gcad/host/cad/vaq_cad_element.h"

#include <memory>
#include <vector>

namespace Vaq::Bench {

struct InspectionPlanSize
{
    unsigned measurements = 2000; // distances (half pulled out), angles and disc calipers
    // points, lines, circles, planes, slots, spheres, cylinders, cones and polygon holes
    unsigned primitives = 10000;
};

// Appends the plan's elements to elements: measurements first, then the primitives, each kind
// spread over the plate by a fixed pseudo-random sequence so that every run draws the same.
void buildInspectionPlan(
    const InspectionPlanSize &size, double plate, std::vector<std::unique_ptr<CAD::Element>> &elements);

} // namespace Vaq::Bench
