#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/cad/vaq_cad_element_creator.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace Vaq;
using namespace Vaq::CAD;
using C = ElementClassification;

namespace {

// Which renderer draws which element numbers: the registry table the drawing code is built on,
// written out here independently of the element model's own table.
const std::map<std::string, std::vector<int>> &rendererTable()
{
    static const std::map<std::string, std::vector<int>> table = {
        { "gps", { 88, 90, 91, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115 } },
        { "measure", { 20, 33, 37, 38, 39, 40, 42, 64, 65, 66, 132, 133 } },
        { "mesh", { 0, 21, 22, 77, 87, 89, 102, 103, 116, 124 } },
        { "other", { 4, 5, 24, 36, 49, 63, 69, 75, 79, 117 } },
        { "pmp", { 27, 34, 35, 51, 52, 53, 55, 56, 57, 58, 62, 67, 68, 141 } },
        { "points", { 3, 29, 41, 45, 73, 138, 139 } },
        { "primitive",
            { 2, 7, 8, 9, 10, 15, 17, 18, 19, 25, 30, 54, 70, 71, 72, 97, 98, 99, 100, 118, 119, 122, 123,
                125, 126, 128, 129, 130, 131, 134, 135, 136, 137, 140 } },
        { "section", { 1, 13, 14, 28, 43, 44, 74, 101, 120, 121, 209 } },
        { "strain", { 23, 46, 47 } },
        { "never drawn", { 26, 50, 60, 61, 127 } },
    };
    return table;
}

C classify(int type)
{
    C c;
    EXPECT_TRUE(ElementCreator::getElementClassification(ElementCreator::Element_t(type), &c)) << type;
    return c;
}

const std::vector<int> &typesOf(const std::string &renderer)
{
    return rendererTable().at(renderer);
}

} // namespace

TEST(ElementCreatorTypes, everyTableNumberHasExactlyOneNamedKind)
{
    std::set<int> tableTypes;
    for (const auto &[renderer, types] : rendererTable()) {
        for (const int type : types) {
            EXPECT_TRUE(tableTypes.insert(type).second) << type << " belongs to two renderers";
            EXPECT_NE(ElementCreator::getTypeName(ElementCreator::Element_t(type)), nullptr) << type;
        }
    }
    std::set<int> known;
    std::set<std::string> names;
    for (const ElementCreator::Element_t type : ElementCreator::getKnownTypes()) {
        known.insert(int(type));
        EXPECT_TRUE(names.insert(ElementCreator::getTypeName(type)).second) << "name used twice";
    }
    EXPECT_EQ(known, tableTypes);
    EXPECT_STREQ(ElementCreator::getTypeName(ElementCreator::MESH), "MESH");
    EXPECT_EQ(int(ElementCreator::MESH), 0);
}

TEST(ElementCreatorClassification, datasetFlagsMatchTheRendererOfEachType)
{
    std::set<int> all;
    for (const auto &[renderer, types] : rendererTable())
        all.insert(types.begin(), types.end());
    const std::set<int> mesh(typesOf("mesh").begin(), typesOf("mesh").end());
    const std::set<int> points(typesOf("points").begin(), typesOf("points").end());
    const std::set<int> section(typesOf("section").begin(), typesOf("section").end());
    for (const int type : all) {
        const C c = classify(type);
        EXPECT_EQ(c[C::MESH_DATASET], mesh.count(type) == 1) << type;
        EXPECT_EQ(c[C::POINTS_DATASET], points.count(type) == 1) << type;
        EXPECT_EQ(c[C::SECTION_DATASET], section.count(type) == 1) << type;
        // A kind is at most one kind of dataset.
        EXPECT_LE(int(c[C::MESH_DATASET]) + int(c[C::POINTS_DATASET]) + int(c[C::SECTION_DATASET]), 1)
            << type;
    }
}

TEST(ElementCreatorClassification, otherFlagsStayWithinTheirRenderers)
{
    const std::map<C::Flag, std::string> flagRenderer = {
        { C::PMP_REFERENCE_POINT, "pmp" },
        { C::ACTIVE_STATUS, "pmp" },
        { C::MEASUREMENT, "measure" },
        { C::GEOMETRIC_PRIMITIVE, "primitive" },
        { C::POINT_ELEMENT, "primitive" },
        { C::GPS_ELEMENT, "gps" },
        { C::STRAIN_DATASET, "strain" },
        { C::NEVER_DRAWN, "never drawn" },
    };
    for (const auto &[flag, owner] : flagRenderer) {
        for (const auto &[renderer, types] : rendererTable()) {
            for (const int type : types) {
                if (renderer != owner) {
                    EXPECT_FALSE(classify(type)[flag]) << "flag " << flag << " on type " << type;
                }
            }
        }
    }
    // Whole groups that the drawing code treats alike.
    for (const int type : typesOf("pmp"))
        EXPECT_TRUE(classify(type)[C::ACTIVE_STATUS]) << type;
    for (const int type : typesOf("gps"))
        EXPECT_TRUE(classify(type)[C::GPS_ELEMENT]) << type;
    for (const int type : typesOf("measure"))
        EXPECT_TRUE(classify(type)[C::MEASUREMENT]) << type;
    for (const int type : typesOf("strain"))
        EXPECT_TRUE(classify(type)[C::STRAIN_DATASET]) << type;
    for (const int type : typesOf("never drawn"))
        EXPECT_TRUE(classify(type)[C::NEVER_DRAWN]) << type;
    // Points with a position of their own are primitives; the label marker 123 is drawn by the
    // primitive renderer but is no primitive, and the cutting edge 69 sorts on its own.
    for (const int type : { 7, 70, 71, 72, 97 })
        EXPECT_TRUE(classify(type)[C::POINT_ELEMENT] && classify(type)[C::GEOMETRIC_PRIMITIVE]) << type;
    EXPECT_FALSE(classify(123)[C::GEOMETRIC_PRIMITIVE]);
    EXPECT_FALSE(classify(69)[C::GEOMETRIC_PRIMITIVE]);
    EXPECT_TRUE(classify(8)[C::GEOMETRIC_PRIMITIVE]);
    EXPECT_FALSE(classify(8)[C::POINT_ELEMENT]);
    // Meshes that take vertex colours are not colour-mapped.
    for (const int type : { 0, 21, 77, 87, 89, 102, 103, 116, 124 })
        EXPECT_FALSE(classify(type)[C::COLOR_MAPPED]) << type;
}

TEST(ElementCreatorClassification, anUnknownNumberClearsEveryFlagAndReportsFalse)
{
    C c;
    ASSERT_TRUE(ElementCreator::getElementClassification(ElementCreator::MESH, &c));
    EXPECT_FALSE(ElementCreator::getElementClassification(ElementCreator::Element_t(6), &c));
    for (const bool flag : c.flags)
        EXPECT_FALSE(flag);
    EXPECT_EQ(ElementCreator::getTypeName(ElementCreator::Element_t(6)), nullptr);
}

TEST(ElementCreatorClassification, classifiesAnElementByItsTypeAndRefusesNulls)
{
    Element cloud(ElementCreator::POINT_CLOUD);
    C c;
    ASSERT_TRUE(ElementCreator::getElementClassification(&cloud, &c));
    EXPECT_TRUE(c[C::POINTS_DATASET]);

    auto message = [](auto &&f) -> std::string {
        try {
            f();
        } catch (const ProgError &e) {
            return e.message().toStdString();
        }
        return "no error";
    };
    EXPECT_EQ(message([&] { ElementCreator::getElementClassification(nullptr, &c); }), "null element");
    EXPECT_EQ(
        message([&] { ElementCreator::getElementClassification(&cloud, nullptr); }), "null classification");
}
