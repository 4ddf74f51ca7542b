// Display properties of the element model: ElemProp holds what one element shows and in which
// colours, DefaultProperties the process-wide colours for states such as highlighted or
// inactive, and Properties::Global the settings of a whole scene (its background).
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/cad/vaq_cad_strain_display.h"

namespace Vaq::CAD {

struct ElemProp
{
    // How a point set is shown: 0 plain points, 1 point markers, 2 point crosses.
    int displayMode = 0;
    Color color { 200, 200, 200 };
    Color pointColor { 0, 0, 255 };
    Color datasetColor { 0, 160, 0 };
    Color meshFrontColor { 240, 210, 0 };
    Color meshBackColor { 120, 120, 200 };
    Color temporaryColor { 255, 128, 0 };
    Color selectionColor { 255, 0, 0 };
    // Mesh triangle edges; drawn at alpha 100 except in snapshots.
    Color edgeColor { 40, 40, 40 };
    // Mesh points while a view moves, when useAlternativePointColor is on.
    Color alternativePointColor { 255, 255, 255 };
    bool useAlternativePointColor = false;
    // 0 opaque, 1 invisible.
    double transparency = 0.0;
    // Sizes that stay constant on screen are in pixels.
    double pointSize = 3.0;
    double lineWidth = 1.0;
    double symbolSize = 10.0;
    // A mesh takes its colours from the colour map.
    bool colorMapEnabled = false;
    // A mesh lights its back side in its own back colour (two-sided material).
    bool highlightBackSide = false;
    // What a mesh shows: its vertices as points, its triangles (front side only unless the
    // material side, that is the back or the material-offset surface, is shown too), smooth
    // or flat shaded, its triangle edges and its boundary.
    bool showPoints = false;
    bool showTriangles = true;
    bool showMaterialSide = false;
    bool smooth = true;
    bool showEdges = false;
    bool showBoundary = false;
    // A strain grid is drawn without its value colours.
    bool uncolored = false;

    // What a point set shows beside its points (sizes and lengths in pixels). A scan's
    // deviation needles need the points shown too. The cutoff, spring and deviation needles
    // drawn together (by scans when vectorNeedles is on, by springback results always) each
    // have their own switch.
    bool pointsShown = true;
    double markerSize = 5.0;
    double crossSize = 9.0;
    bool showIdentifiers = false;
    double labelFontSize = 9.0;
    // Which colours the points take: 0 their own, 1 the spring colours, 2 the cutoff colours.
    int colorSource = 0;
    bool showNormals = false;
    double normalLength = 20.0;
    bool vectorNeedles = false;
    bool deviationNeedles = false;
    bool springNeedles = false;
    bool cutoffNeedles = false;
    double needleLineWidth = 1.0;
    // Model units of needle per model unit of deviation.
    double needleScale = 1.0;
    // Displacements: the scale of their lines, which axis components are drawn (0 all three,
    // 1 x, 2 y, 3 z, 4 x and y, 5 x and z, 6 y and z), and whether their resultant is too.
    double displacementScale = 1.0;
    int displacementComponents = 0;
    bool displacementResultant = true;
    double displacementLineWidth = 1.0;

    StrainDisplay strain;
};

struct DefaultProperties
{
    Color highlightColor { 255, 0, 0 };
    Color highlightBackColor { 160, 0, 0 };
    Color inactiveColor { 160, 160, 160 };
    Color missingDataColor { 255, 0, 255 };
    Color spotlightColor { 255, 255, 0 };
    // Boundary polylines of meshes, and feature lines (drawn at half intensity).
    Color boundaryColor { 0, 90, 255 };
    Color lineColor { 255, 255, 255 };
    double pointSize = 3.0;

    // The defaults every view uses unless it brings its own.
    static DefaultProperties _default;
};

namespace Properties {

class Global
{
public:
    Global() = default;
    explicit Global(const Color &background)
        : m_background_color(background)
    {
    }

    const Color &getBackgroundColor() const { return m_background_color; }
    void setBackgroundColor(const Color &color) { m_background_color = color; }

private:
    Color m_background_color { 0, 0, 0 };
};

} // namespace Properties

} // namespace Vaq::CAD
