// GlobalLegend: the legend of the views, showing the colour scale of the process's
// LegendHandler. Beside the layout it remembers where it starts out in a view and whether
// it was asked to go back there.
#pragma once

#include "gcad/host/fig2/vaq_fig2_legend.h"

namespace Vaq::GLegend2 {

class GlobalLegend : public Fig2::Legend
{
public:
    // Where the legend starts out in a view: at the middle of the top, bottom, left or right edge.
    enum InitialPosition_t { IP_TOP = 0, IP_BOTTOM = 1, IP_LEFT = 2, IP_RIGHT = 3 };

    static GlobalLegend *getInstance();

    // Takes the scale colours and data range from LegendHandler, then lays out.
    void update() override;

    InitialPosition_t getInitialPosition() const { return m_initial_position; }
    void setInitialPosition(InitialPosition_t position) { m_initial_position = position; }
    // Asks the views to put the legend back at its initial position; reading the flag clears it.
    void requestReplace() { m_replace = true; }
    bool readReplaceFlag();

private:
    GlobalLegend() = default;

    InitialPosition_t m_initial_position = IP_BOTTOM;
    bool m_replace = false;
};

} // namespace Vaq::GLegend2
