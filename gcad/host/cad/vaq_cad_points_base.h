// PointsBase: a point-set element (scanned or probed points, reference points, point deviations,
// springback and displacement results). It holds double positions and, each either empty or one
// per point, normals, flags, colours (own, spring and cutoff), identifiers, values, distance
// vectors and the spring and cutoff directions. One data set serves every valid stage.
#pragma once

#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/cad/vaq_cad_no_value.h"
#include "gcad/host/cad/vaq_cad_point_flags.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace Vaq::CAD {

// One record per point.
template<typename T> using PointsRecordVector = std::vector<T>;

class PointsBase : public Element
{
public:
    // The identifier of a point without one, and of a point outside the measured range.
    static constexpr int32_t NO_ID = std::numeric_limits<int32_t>::max();
    static constexpr int32_t OUT_ID = NO_ID - 1;

    // Throws ProgError "not a points type" when type is not a point-set kind.
    explicit PointsBase(
        ElementCreator::Element_t type = ElementCreator::POINT_CLOUD, const QString &fileName = QString());

    // The data for stage: empty vectors in a stage where the element is not valid.
    const PointsRecordVector<BaVec3d<double>> &getPointVector(const StageIdentifier &stage) const;
    const PointsRecordVector<BaVec3d<float>> &getNormalVector(const StageIdentifier &stage) const;
    const PointsRecordVector<PointFlags> &getFlagVector(const StageIdentifier &stage) const;
    const PointsRecordVector<Color> &getColorVector(const StageIdentifier &stage) const;
    const PointsRecordVector<Color> &getSpringColorVector(const StageIdentifier &stage) const;
    const PointsRecordVector<Color> &getCutoffColorVector(const StageIdentifier &stage) const;
    const PointsRecordVector<int32_t> &getIdVector(const StageIdentifier &stage) const;
    // A value per point (the deviation of a measured point); NO_VALUE where there is none.
    const PointsRecordVector<float> &getDataVector(const StageIdentifier &stage) const;
    // The deviation of each point as a vector.
    const PointsRecordVector<BaVec3d<float>> &getDistanceVector(const StageIdentifier &stage) const;
    // Per point, the direction in which its value is measured for the springback and for the
    // cutoff result; transferDistToVector turns a value into a vector along one of them.
    const PointsRecordVector<BaVec3d<float>> &getSpringVector(const StageIdentifier &stage) const;
    const PointsRecordVector<BaVec3d<float>> &getCutoffVector(const StageIdentifier &stage) const;

    bool existsDistanceVector(const StageIdentifier &stage) const;
    bool existsSpringColorVector(const StageIdentifier &stage) const;
    bool existsCutoffColorVector(const StageIdentifier &stage) const;

    // Replaces the positions; every other vector is emptied and all points become visible.
    void setPoints(std::vector<BaVec3d<double>> positions);
    // Each setter takes one record per point, or none to remove them, else throws ProgError
    // "wrong number of values" and changes nothing.
    void setNormals(std::vector<BaVec3d<float>> normals);
    void setColors(std::vector<Color> colors);
    void setSpringColors(std::vector<Color> colors);
    void setCutoffColors(std::vector<Color> colors);
    void setIds(std::vector<int32_t> ids);
    void setValues(std::vector<float> values);
    void setDistances(std::vector<BaVec3d<float>> distances);
    void setSpringDirections(std::vector<BaVec3d<float>> directions);
    void setCutoffDirections(std::vector<BaVec3d<float>> directions);
    // Sets or clears one flag of the given points. Throws ProgError "point index out of range";
    // nothing changes then.
    void setPointFlag(const std::vector<uint32_t> &points, PointFlags::Flag flag, bool on);

    // Grows with every change of the data, so that a renderer keeping a copy can tell when
    // it is stale.
    uint64_t getDataVersion() const { return m_version; }

    unsigned getNumberOfPoints(const StageIdentifier &stage) const override
    {
        return isStageValid(stage) ? unsigned(m_points.size()) : 0;
    }
    // The points that are visible and no preview.
    unsigned getNumberOfVisiblePoints(const StageIdentifier &stage) const override;
    // Picking: the visible point nearest the viewer that appears within tolerancePixels of the
    // view line's pixel; linear in the points.
    bool findElementAtPixel(
        const StageIdentifier &stage, FindParameter &parameter, double tolerancePixels) const override;
    // The box of the points; false without points or in a stage where the element is not valid.
    bool getBoundingBox(
        const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const override;

    // Whether the points show their values through the legend's colour map (the colour map
    // switched on in the properties, and values in stage): the point set then hands out the
    // views' legend after its label, as a colour-mapped mesh does. The point colours are the
    // caller's to set from the same colour map.
    bool isColorMapShown(const StageIdentifier &stage) const;
    bool mustLabelBeRendered(const StageIdentifier &stage) const override;
    void updateFigureElements(
        const StageIdentifier &stage, int viewHeight, const Transformation &view, double pixelSize) override;
    std::vector<Fig2::Element *> getFigureElements(const StageIdentifier &stage) const override;

    // The value distance as a vector along direction (normalised first). False, with *vector
    // unchanged, for a point without a value or a direction too short to normalise.
    static bool transferDistToVector(float distance, const BaVec3d<float> &direction, BaVec3d<float> *vector);

private:
    template<typename T>
    void setPerPoint(std::vector<T> &target, std::vector<T> values, const char *function);
    template<typename T>
    const PointsRecordVector<T> &forStage(const StageIdentifier &stage, const PointsRecordVector<T> &v) const;

    PointsRecordVector<BaVec3d<double>> m_points;
    PointsRecordVector<BaVec3d<float>> m_normals;
    PointsRecordVector<PointFlags> m_flags;
    PointsRecordVector<Color> m_colors;
    PointsRecordVector<Color> m_spring_colors;
    PointsRecordVector<Color> m_cutoff_colors;
    PointsRecordVector<int32_t> m_ids;
    PointsRecordVector<float> m_values;
    PointsRecordVector<BaVec3d<float>> m_distances;
    PointsRecordVector<BaVec3d<float>> m_spring_directions;
    PointsRecordVector<BaVec3d<float>> m_cutoff_directions;
    Box3d m_box;
    unsigned m_visible = 0;
    uint64_t m_version = 0;
};

} // namespace Vaq::CAD
