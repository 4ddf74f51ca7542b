// ElementCreator: the element kinds of the model. Element_t numbers every kind (the numbers are
// fixed: renderers are registered by them); getElementClassification sorts a kind into the
// groups the drawing code asks about (mesh, points or section dataset, primitive, ...).
#pragma once

#include <vector>

namespace Vaq::CAD {

class Element;

// Thirteen yes/no facts about an element kind. Index a flag with ElementClassification::Flag.
struct ElementClassification
{
    enum Flag {
        PMP_REFERENCE_POINT = 0, // measuring-plan element that supplies a reference point
        MEASUREMENT = 1, // measurement (distance, caliper, angle, measured feature)
        POINTS_DATASET = 2, // point set (PointsBase)
        MESH_DATASET = 3, // triangle mesh (PolyBase)
        STRAIN_DATASET = 4, // strain grid, section or stage point
        COLOR_MAPPED = 5, // colours come from a colour map, not from the data
        GEOMETRIC_PRIMITIVE = 6, // nominal or fitted geometric element (point, line, circle, ...)
        SECTION_DATASET = 7, // section polylines (SectionBase)
        ACTIVE_STATUS = 8, // has an active status per stage; inactive ones are greyed
        GPS_ELEMENT = 9, // geometric tolerancing element (datum system, form or position tolerance)
        POINT_ELEMENT = 10, // a single point with a position of its own
        LABEL_ELEMENT = 11, // a label placed in the scene
        NEVER_DRAWN = 12, // structure only (groups, folders, alignments)
        NUMBER_OF_FLAGS = 13
    };

    bool flags[NUMBER_OF_FLAGS] = {};

    bool operator[](Flag flag) const { return flags[flag]; }
    void clear();
};

class ElementCreator
{
public:
    enum Element_t {
        MESH = 0,
        SECTION = 1,
        PLANE = 2,
        POINT_CLOUD = 3,
        SCALE_BAR = 4,
        CAMERA = 5,
        POINT = 7,
        LINE = 8,
        SPHERE = 9,
        PARABOLOID = 10,
        SECTION_CURVE = 13,
        SECTION_BOUNDARY = 14,
        LIMITED_PLANE = 15,
        DISC = 17,
        CIRCLE = 18,
        SLOT = 19,
        DISTANCE = 20,
        MESH_INSPECTION = 21,
        MESH_COLOR_MAPPED = 22,
        STRAIN_GRID = 23,
        LABEL = 24,
        CYLINDER = 25,
        GROUP = 26,
        PMP_DISTANCE_CHANGE = 27,
        SECTION_DEVIATION = 28,
        POINTS_DEVIATION = 29,
        CONE = 30,
        ANGLE = 33,
        PMP_POINT_CHANGE = 34,
        PMP_ANGLE_CHANGE = 35,
        POLY_SURFACE = 36,
        POINT_MEASUREMENT = 37,
        LINE_MEASUREMENT = 38,
        POINT_LINE_MEASUREMENT = 39,
        POINT_PLANE_MEASUREMENT = 40,
        POINTS_DISPLACEMENT = 41,
        ANGLE_MEASUREMENT = 42,
        SECTION_SPRINGBACK = 43,
        SECTION_VECTORS = 44,
        POINTS_SPRINGBACK = 45,
        STRAIN_SECTION = 46,
        STRAIN_STAGE_POINT = 47,
        LABEL_POINT = 49,
        FOLDER = 50,
        PMP_CIRCLE_CHANGE = 51,
        PMP_SLOT_CHANGE = 52,
        PMP_RECTANGLE_HOLE_CHANGE = 53,
        ROUNDED_RECTANGLE = 54,
        PMP_SURFACE_POINT_CHANGE = 55,
        PMP_SECTION_POINT_CHANGE = 56,
        PMP_DISTANCE = 57,
        PMP_SYMMETRY_POINT_CHANGE = 58,
        ALIGNMENT = 60,
        STAGE_SET = 61,
        PMP_TRIM_POINT_CHANGE = 62,
        LABEL_DEVIATION = 63,
        DIRECTIONAL_DISTANCE = 64,
        DISC_CALIPER = 65,
        SEGMENT_CALIPER = 66,
        PMP_DISC_POINT_CHANGE = 67,
        PMP_SEGMENT_POINT_CHANGE = 68,
        CUTTING_EDGE = 69,
        REFERENCE_POINT = 70,
        FIXTURE_POINT = 71,
        TARGET_POINT = 72,
        REFERENCE_POINTS = 73,
        SECTION_INSPECTION_2D = 74,
        LABEL_MEASUREMENT = 75,
        MESH_SCAN = 77,
        COORDINATE_SYSTEM = 79,
        MESH_CLOSED = 87,
        GPS_DATUM_SYSTEM = 88,
        MESH_NOMINAL = 89,
        GPS_FLATNESS = 90,
        GPS_STRAIGHTNESS = 91,
        NOMINAL_POINT = 97,
        NOMINAL_PLANE = 98,
        NOMINAL_CIRCLE = 99,
        NOMINAL_SPHERE = 100,
        SECTION_NOMINAL = 101,
        MESH_CYLINDER_FIT = 102,
        MESH_REFERENCE = 103,
        GPS_ROUNDNESS = 104,
        GPS_CYLINDRICITY = 105,
        GPS_LINE_PROFILE = 106,
        GPS_SURFACE_PROFILE = 107,
        GPS_PARALLELISM = 108,
        GPS_PERPENDICULARITY = 109,
        GPS_ANGULARITY = 110,
        GPS_POSITION = 111,
        GPS_CONCENTRICITY = 112,
        GPS_SYMMETRY = 113,
        GPS_CIRCULAR_RUNOUT = 114,
        GPS_TOTAL_RUNOUT = 115,
        MESH_PREVIEW = 116,
        LABEL_NOTE = 117,
        NOMINAL_CYLINDER = 118,
        NOMINAL_CONE = 119,
        SECTION_POINT = 120,
        SECTION_CURVE_NOMINAL = 121,
        REFERENCE_SPHERE = 122,
        LABEL_MARKER = 123,
        MESH_CAD = 124,
        PIN = 125,
        TOOLING_BALL = 126,
        REPORT_VIEW = 127,
        NOMINAL_SLOT = 128,
        NOMINAL_ROUNDED_RECTANGLE = 129,
        LINE_SEGMENT = 130,
        NOMINAL_LINE_SEGMENT = 131,
        SIX_DOF_MEASUREMENT = 132,
        SIX_DOF_TRACKING = 133,
        ADAPTER_EDGE = 134,
        ADAPTER_PLANE = 135,
        ADAPTER_CYLINDER = 136,
        ADAPTER_SPHERE = 137,
        POINTS_SCAN = 138,
        POINTS_PROBED = 139,
        REGULAR_POLYHOLE = 140,
        PMP_REGULAR_POLYHOLE_CHANGE = 141,
        SECTION_IMPORTED = 209,
    };

    // Fills *classification for the kind (all flags cleared first). Returns false, with every
    // flag clear, for a number that names no kind. Throws ProgError "null classification".
    static bool getElementClassification(Element_t type, ElementClassification *classification);
    // The same for the element's getType. Throws ProgError "null element" or "null classification".
    static bool getElementClassification(const Element *element, ElementClassification *classification);

    // The enumerator name ("MESH"), or null for a number that names no kind.
    static const char *getTypeName(Element_t type);
    // Every kind, in ascending order.
    static std::vector<Element_t> getKnownTypes();
};

} // namespace Vaq::CAD
