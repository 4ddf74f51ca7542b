#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/cad/vaq_cad_element_creator.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace Vaq;
using namespace Vaq::CAD;
using C = ElementClassification;
using E = ElementCreator;
using Vaq::Test::progErrorMessage;

TEST(ElementCreatorClassification, eachFlagCombinationTheDrawingCodeTellsApart)
{
    const std::pair<E::Element_t, std::vector<C::Flag>> kinds[] = {
        { E::MESH, { C::MESH_DATASET } },
        { E::MESH_COLOR_MAPPED, { C::MESH_DATASET, C::COLOR_MAPPED } },
        { E::POINT_CLOUD, { C::POINTS_DATASET } },
        { E::STRAIN_GRID, { C::STRAIN_DATASET, C::COLOR_MAPPED } },
        { E::SPHERE, { C::GEOMETRIC_PRIMITIVE } },
        { E::NOMINAL_POINT, { C::GEOMETRIC_PRIMITIVE, C::POINT_ELEMENT } },
        { E::PMP_TRIM_POINT_CHANGE, { C::ACTIVE_STATUS, C::PMP_REFERENCE_POINT } },
        // The primitive renderer draws it as a marker at its point, but it is no primitive.
        { E::LABEL_MARKER, { C::LABEL_ELEMENT } },
        { E::FOLDER, { C::NEVER_DRAWN } },
        { E::CUTTING_EDGE, {} },
    };
    for (const auto &[type, expected] : kinds) {
        C c;
        ASSERT_TRUE(E::getElementClassification(type, &c)) << type;
        for (int flag = 0; flag < C::NUMBER_OF_FLAGS; ++flag) {
            const bool set = std::find(expected.begin(), expected.end(), C::Flag(flag)) != expected.end();
            EXPECT_EQ(c.flags[flag], set) << "type " << type << " flag " << flag;
        }
    }
}

TEST(ElementCreatorClassification, namesAreUniqueUnknownNumbersHaveNoneAndNullsAreRefused)
{
    std::set<std::string> names;
    for (const E::Element_t type : E::getKnownTypes())
        EXPECT_TRUE(names.insert(E::getTypeName(type)).second) << "name used twice: " << E::getTypeName(type);
    EXPECT_STREQ(E::getTypeName(E::SECTION_IMPORTED), "SECTION_IMPORTED");

    // An unknown number (a gap in the numbering) clears what an earlier call set.
    C c;
    ASSERT_TRUE(E::getElementClassification(E::MESH, &c));
    EXPECT_FALSE(E::getElementClassification(E::Element_t(6), &c));
    EXPECT_EQ(std::count(std::begin(c.flags), std::end(c.flags), true), 0);
    EXPECT_EQ(E::getTypeName(E::Element_t(6)), nullptr);

    Element cloud(E::POINT_CLOUD);
    ASSERT_TRUE(E::getElementClassification(&cloud, &c));
    EXPECT_TRUE(c[C::POINTS_DATASET]);
    EXPECT_EQ(progErrorMessage([&] { E::getElementClassification(nullptr, &c); }), "null element");
    EXPECT_EQ(progErrorMessage([&] { E::getElementClassification(&cloud, nullptr); }), "null classification");
}
