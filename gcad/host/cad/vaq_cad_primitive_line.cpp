#include "gcad/host/cad/vaq_cad_primitive_line.h"

namespace Vaq::CAD {

LineBase::LineBase(const BaVec3d<double> &start, const BaVec3d<double> &end, ElementCreator::Element_t type)
    : Primitive(type,
        { ElementCreator::LINE, ElementCreator::LINE_SEGMENT, ElementCreator::NOMINAL_LINE_SEGMENT },
        "Vaq::CAD::LineBase::LineBase")
    , m_start(start)
    , m_end(end)
{
}

bool LineBase::getLine(Line3d *line, BaVec3d<double> *start, BaVec3d<double> *end) const
{
    if (!isPoint(m_start) || !isPoint(m_end) || !line->createFromPoints(m_start, m_end))
        return false;
    *start = m_start;
    *end = m_end;
    return true;
}

void LineBase::setSymbols(LineSymbol_t start, LineSymbol_t end)
{
    m_start_symbol = start;
    m_end_symbol = end;
}

Box3d LineBase::geometryBox() const
{
    Box3d box;
    if (isPoint(m_start) && isPoint(m_end)) {
        box.extend(m_start);
        box.extend(m_end);
    }
    return box;
}

} // namespace Vaq::CAD
