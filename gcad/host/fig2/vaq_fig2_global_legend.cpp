#include "gcad/host/fig2/vaq_fig2_global_legend.h"

#include "gcad/host/fig2/vaq_fig2_legend_handler.h"

namespace Vaq::GLegend2 {

GlobalLegend *GlobalLegend::getInstance()
{
    static GlobalLegend legend;
    return &legend;
}

void GlobalLegend::update()
{
    const Legend2::ColorMap &map = Legend2::LegendHandler::getInstance()->getColorMap();
    if (getColors() != map.getColors() || getMinimum() != map.getMinimum()
        || getMaximum() != map.getMaximum())
        setScale(map.getColors(), map.getMinimum(), map.getMaximum()); // lays out through this again
    else
        Legend::update();
}

bool GlobalLegend::readReplaceFlag()
{
    const bool replace = m_replace;
    m_replace = false;
    return replace;
}

} // namespace Vaq::GLegend2
