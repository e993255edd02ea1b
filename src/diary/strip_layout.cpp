#include "strip_layout.h"

#include <algorithm>

#include "widgets/scale.h"

namespace tl::diary {

StripGeometry::StripGeometry(int dpi)
    : m_left(widgets::ScaleAt(10, dpi)),
      m_pitch(widgets::ScaleAt(74, dpi)),
      m_slotWidth(widgets::ScaleAt(64, dpi)),
      m_top(widgets::ScaleAt(4, dpi)),
      m_pictureHeight(widgets::ScaleAt(46, dpi)),
      m_height(widgets::ScaleAt(56, dpi)) {}

int StripGeometry::slotLeft(std::size_t index) const {
    return m_left + m_pitch * static_cast<int>(index);
}

int StripGeometry::labelLeft(std::size_t index) const {
    return slotLeft(index) - (m_pitch - m_slotWidth) / 2;
}

int StripGeometry::contentWidth(std::size_t count) const {
    return m_pitch * static_cast<int>(count) + m_left;
}

std::optional<std::size_t> StripGeometry::slotAt(int x, int y, std::size_t count) const {
    if (y < m_top || y > m_top + m_pictureHeight || x < m_left) return std::nullopt;
    const std::size_t index = static_cast<std::size_t>((x - m_left) / m_pitch);
    if (index >= count || x >= slotLeft(index) + m_slotWidth) return std::nullopt;
    return index;
}

std::vector<std::size_t> StripGeometry::slotsInBand(int x1, int y1, int x2, int y2,
                                                    std::size_t count) const {
    std::vector<std::size_t> hit;
    const int left = std::min(x1, x2), right = std::max(x1, x2);
    const int top = std::min(y1, y2), bottom = std::max(y1, y2);
    if (bottom < m_top || top > m_top + m_pictureHeight) return hit;
    for (std::size_t i = 0; i < count; ++i) {
        const int l = slotLeft(i);
        if (right >= l && left < l + m_slotWidth) hit.push_back(i);
    }
    return hit;
}

int StripGeometry::scrollToShow(std::size_t index, int viewWidth, int offset) const {
    // The slot with its margin, so that its frame and highlight show too.
    const int margin = (m_pitch - m_slotWidth) / 2;
    const int left = slotLeft(index) - margin;
    const int right = slotLeft(index) + m_slotWidth + margin;
    if (left < offset) return std::max(0, left);
    if (right > offset + viewWidth) return std::max(0, right - viewWidth);
    return offset;
}

void StripSelection::resize(std::size_t count) {
    m_selected.assign(count, false);
    m_anchor = std::min(m_anchor, static_cast<int>(count) - 1);
    m_shiftOrigin = -1;
}

void StripSelection::erase(std::size_t index) {
    if (index >= m_selected.size()) return;
    m_selected.erase(m_selected.begin() + static_cast<std::ptrdiff_t>(index));
    const int i = static_cast<int>(index);
    if (m_anchor > i) --m_anchor;
    m_anchor = std::min(m_anchor, static_cast<int>(m_selected.size()) - 1);
    m_shiftOrigin = -1;
}

void StripSelection::reset(std::size_t count, const std::vector<std::size_t>& selected,
                           int anchor) {
    resize(count);
    selectExactly(selected);
    if (anchor >= 0 && anchor < static_cast<int>(count)) m_anchor = anchor;
}

std::vector<std::size_t> StripSelection::selected() const {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < m_selected.size(); ++i)
        if (m_selected[i]) out.push_back(i);
    return out;
}

std::size_t StripSelection::selectedCount() const {
    return static_cast<std::size_t>(std::count(m_selected.begin(), m_selected.end(), true));
}

void StripSelection::clear() {
    std::fill(m_selected.begin(), m_selected.end(), false);
}

void StripSelection::selectAll() {
    std::fill(m_selected.begin(), m_selected.end(), true);
}

void StripSelection::selectOnly(std::size_t index) {
    clear();
    if (index < m_selected.size()) m_selected[index] = true;
}

void StripSelection::selectExactly(const std::vector<std::size_t>& indices) {
    clear();
    for (std::size_t i : indices)
        if (i < m_selected.size()) m_selected[i] = true;
}

void StripSelection::selectRange(std::size_t from, std::size_t to) {
    clear();
    for (std::size_t i = std::min(from, to); i <= std::max(from, to) && i < m_selected.size(); ++i)
        m_selected[i] = true;
}

bool StripSelection::press(std::size_t index, bool ctrl, bool shift) {
    if (index >= m_selected.size()) return false;
    const bool was = m_selected[index];
    m_shiftOrigin = -1;
    if (shift) {
        if (m_anchor < 0) {
            selectOnly(index);
            m_anchor = static_cast<int>(index);
        } else {
            selectRange(static_cast<std::size_t>(m_anchor), index);
        }
        return was;
    }
    m_anchor = static_cast<int>(index);
    if (ctrl)
        m_selected[index] = true;
    else if (!was)
        selectOnly(index);
    return was;
}

void StripSelection::click(std::size_t index, bool ctrl, bool shift, bool wasSelected) {
    if (index >= m_selected.size()) return;
    if (ctrl)
        m_selected[index] = !wasSelected;
    else if (!shift)
        selectOnly(index);
}

void StripSelection::pressRight(std::size_t index) {
    if (index >= m_selected.size()) return;
    if (!m_selected[index]) selectOnly(index);
    m_anchor = static_cast<int>(index);
    m_shiftOrigin = -1;
}

void StripSelection::step(int delta, bool shift) {
    if (m_selected.empty()) return;
    const int last = static_cast<int>(m_selected.size()) - 1;
    const int target = m_anchor < 0 ? 0 : std::clamp(m_anchor + delta, 0, last);
    moveTo(static_cast<std::size_t>(target), shift);
}

void StripSelection::moveTo(std::size_t index, bool shift) {
    if (index >= m_selected.size()) return;
    if (shift) {
        if (m_shiftOrigin < 0) m_shiftOrigin = m_anchor < 0 ? static_cast<int>(index) : m_anchor;
        selectRange(static_cast<std::size_t>(m_shiftOrigin), index);
    } else {
        m_shiftOrigin = -1;
        selectOnly(index);
    }
    m_anchor = static_cast<int>(index);
}

}  // namespace tl::diary
