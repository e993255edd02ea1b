#include "day_list_layout.h"

#include <algorithm>

#include "month_grid.h"
#include "year_day_table.h"

namespace tl::calendar {

using widgets::Rgb;

DayListLayout::DayListLayout(int dpi) : m_dpi(dpi) {}

void DayListLayout::rebuild(int count, int windowHeight) {
    m_count = count;
    m_windowHeight = std::max(0, windowHeight);
    m_lastTop = std::max(0, count - visibleRows());
    m_top = std::clamp(m_top, 0, m_lastTop);
}

void DayListLayout::scrollTo(int row) {
    m_top = std::max(row, 0);
}
void DayListLayout::lineUp() {
    if (m_top > 0) --m_top;
}
void DayListLayout::lineDown() {
    if (m_top < m_lastTop) ++m_top;
}
void DayListLayout::pageUp() {
    m_top = std::max(0, m_top - visibleRows());
}
void DayListLayout::pageDown() {
    m_top = std::min(m_top + visibleRows(), m_lastTop);
}

void DayListLayout::wheel(int delta) {
    // Fine-grained wheels send parts of a notch; they add up to lines.
    m_wheelRest += delta;
    const int lines = m_wheelRest / 120;
    m_wheelRest -= lines * 120;
    for (int i = lines; i > 0; --i) lineUp();
    for (int i = lines; i < 0; ++i) lineDown();
}

void DayListLayout::ensureVisible(int row) {
    const int rows = std::max(1, visibleRows());
    if (row < m_top)
        m_top = std::max(row, 0);
    else if (row >= m_top + rows)
        m_top = std::min(row - rows + 1, m_lastTop);
}

void DayListLayout::dragTo(int pressY, int pressTopRow, int y) {
    m_top = std::clamp((pressY - y) / rowHeight() + pressTopRow, 0, m_lastTop);
}

std::optional<int> DayListLayout::rowAt(int y) const {
    if (y < 0) return std::nullopt;
    const int row = m_top + y / rowHeight();
    return row < m_count ? std::optional<int>(row) : std::nullopt;
}

MonthPage MonthPageUp(const DayListLayout& list, int year) {
    // Row 334 is 1 December of a common year; the reload limits it.
    if (list.topRow() == 0) return year > kFirstYear ? MonthPage{-1, 334} : MonthPage{0, 0};
    return {0, std::max(0, list.topRow() - 31)};
}

MonthPage MonthPageDown(const DayListLayout& list, int year) {
    if (list.topRow() < list.lastTopRow())
        return {0, std::min(list.topRow() + 31, list.lastTopRow())};
    return year < kLastYear ? MonthPage{1, 30} : MonthPage{0, list.topRow()};
}

std::uint32_t MonthStripColor(int month, int k) {
    const int c = 128 + 4 * std::clamp(k, 0, 30);
    return month % 2 ? Rgb(255, 255, c) : Rgb(c, 255, c);
}

int StripIndex(const std::vector<DayRow>& rows, int i) {
    int k = 0;
    while (i - k - 1 >= 0 && rows[static_cast<std::size_t>(i - k - 1)].month ==
                                 rows[static_cast<std::size_t>(i)].month)
        ++k;
    return k;
}

std::vector<MonthGroup> VisibleMonthGroups(const std::vector<DayRow>& rows,
                                           const DayListLayout& list) {
    std::vector<MonthGroup> groups;
    const int end =
        std::min<int>(static_cast<int>(rows.size()), list.topRow() + list.visibleRows() + 1);
    for (int r = list.topRow(); r < end; ++r) {
        const int month = rows[static_cast<std::size_t>(r)].month;
        if (groups.empty() || groups.back().month != month)
            groups.push_back({month, r - list.topRow(), 0});
        ++groups.back().rows;
    }
    return groups;
}

std::uint32_t SundayBandColor(int k, bool hovered, bool today) {
    const int c = std::min(200 + k, 255);
    if (hovered) return Rgb(230, c, c);
    if (today) return Rgb(235, c - 20, c);
    return Rgb(255, c, c);
}

std::uint32_t PlainRowColor(bool hovered) {
    return hovered ? Rgb(230, 255, 255) : kWhite;
}

RowFill RowFillOver(const DayRow& row, bool sunday, bool hovered, bool today) {
    if (row.hasContent() && row.backFlag == 1)
        return {true, hovered ? HoverShade(row.backColor) : row.backColor};
    if (!hovered && !sunday && today) return {true, TodayShade(kWhite)};
    return {};
}

}  // namespace tl::calendar
