// Picking of sections: the point of the section nearest the viewer among those within the
// pixel tolerance of the view line, on the polyline as the section renderer draws it (segments
// between neighbouring shown points, the closing segment of a closed run) or at a shown point.
// Each segment is measured in window coordinates, where the pixel's nearest point on it is a
// projection; cost O(points) per query.
#include "gcad/host/cad/vaq_cad_find_parameter.h"
#include "gcad/host/cad/vaq_cad_section_base.h"

#include <algorithm>

namespace Vaq::CAD {

bool SectionBase::findElementAtPixel(
    const StageIdentifier &stage, FindParameter &parameter, double tolerancePixels) const
{
    using V = BaVec3d<double>;
    parameter.clearFound();
    const SectionRecords<V> &runs = getSections(stage);
    const SectionRecords<PointFlags> &flags = getFlags(stage);
    Transformation toWorld;
    const bool transformed = getRenderTransformation(stage, &toWorld);
    const Transformation &view = parameter.get3d2dTransformation();
    const Transformation toWindow = transformed ? view * toWorld : view;
    const V pixel = view.transform(parameter.getViewLine().getPoint());
    const double limit = tolerancePixels * tolerancePixels;

    bool found = false;
    V best;
    double bestZ = 0.0;
    // The segment from a to b (element coordinates), at wa and wb in the window.
    const auto consider = [&](const V &a, const V &b, const V &wa, const V &wb) {
        const double dx = wb.x - wa.x, dy = wb.y - wa.y, length2 = dx * dx + dy * dy;
        const double t = length2 > 0.0
            ? std::clamp(((pixel.x - wa.x) * dx + (pixel.y - wa.y) * dy) / length2, 0.0, 1.0)
            : 0.0;
        const V window = wa + (wb - wa) * t;
        const double ex = window.x - pixel.x, ey = window.y - pixel.y;
        if (ex * ex + ey * ey > limit || (found && -window.z <= bestZ))
            return;
        const V point = a + (b - a) * t;
        if (parameter.isCutAway(transformed ? toWorld.transform(point) : point))
            return;
        found = true;
        best = point;
        bestZ = -window.z;
    };

    std::vector<V> window;
    for (std::size_t run = 0; run < runs.size(); ++run) {
        const std::vector<V> &points = runs[run];
        const auto shown = [&](std::size_t i) { return flags[run][i].isVisibleAndNotPreview(); };
        window.resize(points.size());
        std::transform(
            points.begin(), points.end(), window.begin(), [&](const V &p) { return toWindow.transform(p); });
        const bool closed = isClosed(stage, unsigned(run));
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (!shown(i))
                continue;
            consider(points[i], points[i], window[i], window[i]);
            const std::size_t next = i + 1 < points.size() ? i + 1 : 0;
            if ((next != 0 || closed) && shown(next))
                consider(points[i], points[next], window[i], window[next]);
        }
    }
    if (!found)
        return false;
    parameter.setFound(best, bestZ);
    if (transformed)
        parameter.setFoundRenderTrafo(toWorld);
    return true;
}

} // namespace Vaq::CAD
