// LabelElement: the text label an element may carry in the view. It keeps the text, whether it
// is shown, its highlight state and colour, the 3-D point it points at per stage and where the
// user put its box; updateFigureElements turns that into the figure label the 2-D overlay draws.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_stage.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace Vaq::Fig2 {
class Element;
class Label;
} // namespace Vaq::Fig2

namespace Vaq::CAD {

class LabelElement
{
public:
    explicit LabelElement(const QString &text = QString());
    ~LabelElement();
    LabelElement(const LabelElement &) = delete;
    LabelElement &operator=(const LabelElement &) = delete;

    const QString &getText() const { return m_text; }
    void setText(const QString &text) { m_text = text; }

    bool isLabelVisible() const { return m_visible; }
    void setLabelVisible(bool visible) { m_visible = visible; }
    // Shows a hidden label for a while (for example while its element is under the mouse)
    // without changing the user's choice.
    bool isTemporarilyVisible() const { return m_temporarily_visible; }
    void setTemporarilyVisible(bool visible) { m_temporarily_visible = visible; }
    // A label with text that is visible, for good or for now.
    bool mustBeRendered() const { return !m_text.isEmpty() && (m_visible || m_temporarily_visible); }

    bool isLabelHighlighted() const { return m_highlighted; }
    void highlightLabel(bool on) { m_highlighted = on; }
    const Color &getHighlightColor() const { return m_highlight_color; }
    void setHighlightColor(const Color &color) { m_highlight_color = color; }

    // Shows the label for stage and brings its figure label's text and highlight up to date;
    // the shown stage is UNINITIALIZED until the first update.
    void update(const StageIdentifier &stage);
    const StageIdentifier &getShownStage() const { return m_shown_stage; }

    // The model point the connector points at, per stage; false (and *point unchanged) for a
    // stage without one.
    bool getConnectorPoint(const StageIdentifier &stage, BaVec3d<double> *point) const;
    void setConnectorPoint(const StageIdentifier &stage, const BaVec3d<double> &point);
    void clearConnectorPoint(const StageIdentifier &stage) { m_connector_points.erase(stage); }

    // Where the box's centre lies relative to the connector point, in model coordinates, so
    // that a placed label keeps its place when the view turns.
    const BaVec3d<double> &getManualOriginOffset() const { return m_manual_origin_offset; }
    void setManualOriginOffset(const BaVec3d<double> &offset) { m_manual_origin_offset = offset; }

    // Whether an automatic layout may move the label.
    bool isAutoLabelPlacement() const { return m_auto_placement; }
    void setAutoLabelPlacement(bool on) { m_auto_placement = on; }

    // Set for repaints of the overlay only (the view has not moved): the next update brings
    // the label's text and highlight up to date and leaves its place alone.
    void setOnlyCheckTemplate(bool on) { m_only_check_template = on; }
    bool isOnlyCheckTemplate() const { return m_only_check_template; }

    // Builds the figure label for stage in a view viewHeight pixels high: its text and
    // highlight, its connector at the projected connector point (LabelBase::INVALID_POINT
    // when the stage has none) and its box centred at the projected point plus the manual
    // origin offset. A label without a connector point keeps its box where it was. view maps
    // model points to window pixels (y upward); pixelSize is millimetres per pixel.
    void updateFigureElements(
        const StageIdentifier &stage, int viewHeight, const Transformation &view, double pixelSize);
    // The figure elements built for stage; none before the first update for it or without text.
    std::vector<Fig2::Element *> getFigureElements(const StageIdentifier &stage) const;
    // The figure label; it lives as long as this label element.
    Fig2::Label *getLabelFigText() const { return m_fig_text.get(); }

private:
    void applyStyle();

    QString m_text;
    bool m_visible = true;
    bool m_temporarily_visible = false;
    bool m_highlighted = false;
    Color m_highlight_color { 255, 0, 0 };
    StageIdentifier m_shown_stage = StageIdentifier::UNINITIALIZED;
    std::map<StageIdentifier, BaVec3d<double>> m_connector_points;
    BaVec3d<double> m_manual_origin_offset { 0.0, 0.0, 0.0 };
    bool m_auto_placement = false;
    bool m_only_check_template = false;
    std::unique_ptr<Fig2::Label> m_fig_text;
    StageIdentifier m_figure_stage = StageIdentifier::UNINITIALIZED;
};

} // namespace Vaq::CAD
