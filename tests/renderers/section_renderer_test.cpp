// The passes the section renderer chooses for each kind of section and its display switches,
// without GL.
#include "gcad/host/cad/vaq_cad_section_base.h"
#include "gcad/renderers/gcad_r_section.h"
#include "tests/support/gcad_test_scene.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

using namespace Vaq;
using CAD::ElementCreator;
using CAD::SectionBase;
using Types = std::vector<unsigned>;

namespace {

class SectionRenderTypes : public testing::Test
{
protected:
    Types typesOf(CAD::Element &section)
    {
        const Types types = renderer.setup({ &section, CAD::StageIdentifier::DEFAULT_DATASET }, {}, 1);
        renderer.finish();
        return types;
    }

    // Every switch of both display sets on.
    static void switchAllOn(SectionBase &section)
    {
        for (CAD::SectionDisplay *d : { &section.getDisplay(), &section.getInsp2dDisplay() }) {
            d->points = d->polyline = d->deviationDisplay = d->vectorDisplay = d->deviationNeedles = true;
            d->actualLine = d->actualPoints = d->springNeedles = d->cutoffNeedles = true;
            d->inspectionNeedles = d->tolerance = true;
        }
    }

    Vaq::Test::TestScene scene;
    GCAD::SectionRenderer renderer { &scene };
};

} // namespace

TEST_F(SectionRenderTypes, everyKindListsItsPassesInItsOwnOrder)
{
    const std::pair<ElementCreator::Element_t, Types> expected[] = {
        { ElementCreator::SECTION, { 0, 2, 5, 3, 1, 8, 9, 10 } },
        { ElementCreator::SECTION_NOMINAL, { 0, 2, 5, 3, 1, 8, 9, 10 } },
        { ElementCreator::SECTION_IMPORTED, { 0, 2, 5, 3, 1, 8, 9, 10 } },
        { ElementCreator::SECTION_POINT, { 0, 2, 5, 3, 1, 8, 9, 10, 12, 13 } },
        { ElementCreator::SECTION_DEVIATION, { 0, 2, 5, 3, 1 } },
        { ElementCreator::SECTION_SPRINGBACK, { 0, 2, 6, 7 } },
        { ElementCreator::SECTION_VECTORS, { 0, 2, 8, 9, 10 } },
        { ElementCreator::SECTION_INSPECTION_2D, { 11, 0, 2, 5, 4, 1 } },
    };
    for (const auto &[type, types] : expected) {
        SectionBase section(type);
        switchAllOn(section);
        EXPECT_EQ(typesOf(section), types) << type;
    }
}

TEST_F(SectionRenderTypes, theDisplaySwitchesGateEachPassAndASectionPointAlwaysEndsWithItsMarker)
{
    SectionBase section(ElementCreator::SECTION_CURVE);
    CAD::SectionDisplay &d = section.getDisplay();
    EXPECT_EQ(typesOf(section), Types({ 2 })); // a new section shows its polyline
    // The needles and the actual shape need the deviation or the vector display.
    d.deviationNeedles = d.actualLine = d.actualPoints = d.springNeedles = true;
    EXPECT_EQ(typesOf(section), Types({ 2 }));
    d.vectorDisplay = true;
    EXPECT_EQ(typesOf(section), Types({ 2, 8, 9 }));
    d.vectorDisplay = false;
    d.deviationDisplay = true;
    EXPECT_EQ(typesOf(section), Types({ 2, 5, 3, 1 }));

    // A section point gets its marker and arrowheads last, whatever is switched off.
    SectionBase point(ElementCreator::SECTION_POINT);
    point.getDisplay().polyline = false;
    EXPECT_EQ(typesOf(point), Types({ 12, 13 }));
    point.getDisplay().points = true;
    EXPECT_EQ(typesOf(point), Types({ 0, 12, 13 }));

    // 2-D inspections read their own set only.
    SectionBase inspection(ElementCreator::SECTION_INSPECTION_2D);
    inspection.getInsp2dDisplay().polyline = false;
    inspection.getDisplay().tolerance = inspection.getDisplay().points = true;
    EXPECT_EQ(typesOf(inspection), Types());
    inspection.getInsp2dDisplay().tolerance = inspection.getInsp2dDisplay().inspectionNeedles = true;
    EXPECT_EQ(typesOf(inspection), Types({ 11, 4 }));
}

TEST_F(SectionRenderTypes, otherKindsAreRefused)
{
    CAD::Element mesh(ElementCreator::MESH, "mesh.stl");
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { typesOf(mesh); }), "unsupported type");
}
