#include "gcad/host/cad/vaq_cad_deviation_legend.h"

#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/base/vaq_unit.h"
#include "gcad/host/fig2/vaq_fig2_global_legend.h"

namespace Vaq::CAD {

GLegend2::GlobalLegend *updateDeviationLegend()
{
    GLegend2::GlobalLegend *legend = GLegend2::GlobalLegend::getInstance();
    const QString title = translate("GCAD", "Deviation [%1]").arg(Unit::getLengthUnit().getName());
    if (legend->getTitle().getText() != title)
        legend->setTitle(title);
    legend->update();
    return legend;
}

} // namespace Vaq::CAD
