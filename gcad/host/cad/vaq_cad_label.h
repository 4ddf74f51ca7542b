// LabelElement: the text label an element may carry in the view. It keeps the text, whether it
// is shown, and its highlight state and colour; update(stage) brings the label to the stage
// it is to show.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/cad/vaq_cad_stage.h"

#include <QString>

namespace Vaq::CAD {

class LabelElement
{
public:
    explicit LabelElement(const QString &text = QString())
        : m_text(text)
    {
    }

    const QString &getText() const { return m_text; }
    void setText(const QString &text) { m_text = text; }

    bool isLabelVisible() const { return m_visible; }
    void setLabelVisible(bool visible) { m_visible = visible; }

    bool isLabelHighlighted() const { return m_highlighted; }
    void highlightLabel(bool on) { m_highlighted = on; }
    const Color &getHighlightColor() const { return m_highlight_color; }
    void setHighlightColor(const Color &color) { m_highlight_color = color; }

    // Shows the label for stage; UNINITIALIZED until the first update.
    void update(const StageIdentifier &stage) { m_shown_stage = stage; }
    const StageIdentifier &getShownStage() const { return m_shown_stage; }

private:
    QString m_text;
    bool m_visible = true;
    bool m_highlighted = false;
    Color m_highlight_color { 255, 0, 0 };
    StageIdentifier m_shown_stage = StageIdentifier::UNINITIALIZED;
};

} // namespace Vaq::CAD
