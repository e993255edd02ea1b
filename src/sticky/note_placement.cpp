#include "note_placement.h"

#include <algorithm>

namespace tl::sticky {

namespace {

// The distance from the area's top at which the note is shown. The offset
// may come from a damaged record: the sum is taken without overflow.
int ShownOffset(const EdgeArea& area, int offset, int height) {
    const int h = area.height();
    return std::max(h < static_cast<long long>(offset) + height ? h - height : offset, 0);
}

}  // namespace

NotePoint PlaceNote(const EdgeArea& area, NoteSide side, int offset, int width, int height) {
    const int x = side == NoteSide::Right ? area.right : area.left - width;
    return {x, area.top + ShownOffset(area, offset, height)};
}

NoteSide NewNoteSide(int outerLeft, int desktopLeft) {
    return outerLeft < desktopLeft + 1 ? NoteSide::Right : NoteSide::Left;
}

NoteDrag::NoteDrag(const EdgeArea& area, NoteSide side, int noteTop, int cursorY)
    : m_area(area), m_side(side), m_grip(cursorY - noteTop) {}

NoteDrag::Step NoteDrag::move(int cursorX, int cursorY, int width, int height) {
    Step step;
    const NoteSide before = m_side;
    if (cursorX < m_area.middle())
        m_side = NoteSide::Left;
    else
        m_side = NoteSide::Right;
    step.side = m_side;
    step.sideChanged = m_side != before;
    int top = std::max(cursorY - m_grip, m_area.top);
    if (top + height > m_area.bottom) top = m_area.bottom - height;
    step.at = {m_side == NoteSide::Right ? m_area.right : m_area.left - width, top};
    step.offset = top - m_area.top;
    return step;
}

int NudgedOffset(const EdgeArea& area, int offset, int height, int dy) {
    // From where the note is shown, not from a stored offset below the
    // window's bottom.
    int top = std::max(ShownOffset(area, offset, height) + dy, 0);
    if (top + height > area.height()) top = area.height() - height;
    return top;
}

int NoteAlpha(bool translucent, bool oneRate, int commonRate, int ownRate) {
    if (!translucent) return 255;
    const int rate = oneRate ? commonRate : ownRate;
    // The factor and the product in single precision, as the rate table
    // (30 % -> 178, 70 % -> 76) expects.
    const float alpha = static_cast<float>(100 - rate) * 2.55f;
    return std::clamp(static_cast<int>(alpha), 0, 255);
}

}  // namespace tl::sticky
