// ElementListCallback: a render callback that shows exactly the elements it is given, in
// their order, through the library's renderers (or renderers registered in their place).
// Benchmarks and tests build their scenes with it; the elements are not owned.
#pragma once

#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/rcb/gcad_rcb.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace Gcad::Scene {

class ElementListCallback : public Vaq::GCAD::RenderCallback
{
public:
    std::vector<Vaq::CAD::ElementAndStageImp> entries;
    Vaq::CAD::Properties::Global global;

    void show(Vaq::CAD::Element *element,
        const Vaq::CAD::StageIdentifier &stage = Vaq::CAD::StageIdentifier::DEFAULT_DATASET)
    {
        entries.emplace_back(element, stage);
    }

    const Vaq::CAD::Properties::Global *getGlobalProperties() const override { return &global; }
    bool acceptsObject(const Vaq::TObject *) override { return true; }
    std::vector<Vaq::CAD::ElementAndStageImp> getElementsForDrawing() override { return entries; }
    unsigned getNumberOfPointsForDrawing() const override
    {
        std::size_t count = 0;
        for (const Vaq::CAD::ElementAndStageImp &entry : entries)
            count += entry.element->getNumberOfPoints(entry.stage);
        return unsigned(std::min<std::size_t>(count, std::numeric_limits<unsigned>::max()));
    }

    // Open, so that a scene can draw its elements with renderers of its own.
    using Vaq::GCAD::RenderCallback::getRendererContainer;
};

} // namespace Gcad::Scene
