// LineBase: the straight primitives, lines with end symbols (type 8) and line segments
// (130, nominal 131), kept as their two end points.
#pragma once

#include "gcad/host/base/vaq_line.h"
#include "gcad/host/cad/vaq_cad_primitive.h"

namespace Vaq::CAD {

class LineBase : public Primitive
{
public:
    // What a line shows at an end.
    enum LineSymbol_t { LS_NONE = 0, LS_ARROW = 1, LS_POINT = 2 };

    // Types 8, 130 and 131; any other throws ProgError "wrong element type".
    LineBase(const BaVec3d<double> &start, const BaVec3d<double> &end,
        ElementCreator::Element_t type = ElementCreator::LINE);

    // The line through both ends, and the ends; false when they are not finite or coincide.
    bool getLine(Line3d *line, BaVec3d<double> *start, BaVec3d<double> *end) const;

    // The symbol at the start (end 0) or the end (any other).
    LineSymbol_t getSymbol(int end) const { return end == 0 ? m_start_symbol : m_end_symbol; }
    void setSymbols(LineSymbol_t start, LineSymbol_t end);

protected:
    Box3d geometryBox() const override;

private:
    BaVec3d<double> m_start, m_end;
    LineSymbol_t m_start_symbol = LS_NONE, m_end_symbol = LS_NONE;
};

} // namespace Vaq::CAD
