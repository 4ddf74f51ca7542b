// PointFlags: the state of one point or one triangle of a mesh or point set, packed into one
// byte as the element model stores it: visible, selected, and preview (shown only while an
// edit is being previewed). A new point is visible, unselected and not a preview.
#pragma once

#include <cstdint>

namespace Vaq::CAD {

class PointFlags
{
public:
    enum Flag : uint8_t {
        HIDDEN = 0x01, // stored inverted so that a zeroed byte is a visible point
        SELECTED = 0x02,
        PREVIEW = 0x04,
    };

    constexpr PointFlags() = default;

    bool isVisible() const { return !(m_bits & HIDDEN); }
    bool isSelected() const { return m_bits & SELECTED; }
    bool isPreview() const { return m_bits & PREVIEW; }
    bool isVisibleAndNotPreview() const { return !(m_bits & (HIDDEN | PREVIEW)); }

    void set(Flag flag, bool on) { m_bits = on ? uint8_t(m_bits | flag) : uint8_t(m_bits & ~flag); }
    void setVisible(bool on) { set(HIDDEN, !on); }
    void setSelected(bool on) { set(SELECTED, on); }
    void setPreview(bool on) { set(PREVIEW, on); }

    bool operator==(const PointFlags &o) const { return m_bits == o.m_bits; }

private:
    uint8_t m_bits = 0;
};

// Which points and triangles count as visible: the preview ones only on request.
enum PreviewMode_t {
    PM_WITHOUT_PREVIEW = 0,
    PM_WITH_PREVIEW = 1,
};

} // namespace Vaq::CAD
