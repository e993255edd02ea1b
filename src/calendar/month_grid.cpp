#include "month_grid.h"

#include <algorithm>
#include <chrono>

#include "widgets/scale.h"
#include "year_day_table.h"

namespace tl::calendar {

using widgets::Rect;
using widgets::Rgb;

std::uint32_t HoverShade(std::uint32_t color) {
    const std::uint32_t red = color & 0xFF;
    return red >= 25 ? color - 25 : color;
}

std::uint32_t TodayShade(std::uint32_t color) {
    if ((color & 0xFF) >= 20) color -= 20;
    if (((color >> 8) & 0xFF) >= 20) color -= 20u << 8;
    return color;
}

MonthGrid::MonthGrid(int year, int month, int width, int dpi)
    : m_dpi(dpi),
      m_width(width),
      m_days(DaysInMonth(year, month)),
      m_firstColumn(store::Weekday(year, month, 1)) {
    // Each column takes an equal share of what the columns before it left,
    // so the rounding remainder goes to the right-hand columns.
    const int available = std::max(0, width - 2);
    int used = 0;
    for (int i = 0; i < 7; ++i) {
        m_lefts[i] = used;
        m_widths[i] = i == 6 ? available - used : (available - used) / (7 - i);
        used += m_widths[i];
    }
}

int MonthGrid::scaled(int n) const {
    return widgets::ScaleAt(n, m_dpi);
}

Rect MonthGrid::cellRect(int day) const {
    const int c = columnOf(day);
    const int top = rowTop(rowOf(day));
    return {columnLeft(c), top, columnLeft(c) + columnWidth(c), top + rowHeight()};
}

std::optional<int> MonthGrid::dayAt(int x, int y) const {
    if (y < rowTop(0)) return std::nullopt;
    for (int day = 1; day <= m_days; ++day)
        if (cellRect(day).contains(x, y)) return day;
    return std::nullopt;
}

HeaderHalf MonthGrid::headerAt(int x, int y) const {
    if (y >= headerHeight()) return HeaderHalf::None;
    return x < m_width / 2 ? HeaderHalf::Year : HeaderHalf::Month;
}

Paging MonthGrid::pagingAt(int y) const {
    if (y <= 2 * rowHeight()) return Paging::None;
    return y < 4 * rowHeight() ? Paging::PreviousMonth : Paging::NextMonth;
}

DayCellLook CalendarDayLook(const DayRow* row, int column, bool hovered, bool today,
                            bool blinkPhase) {
    DayCellLook look;
    std::uint32_t base = column == 0 ? kSundayBase : kWhite;
    std::uint8_t backFlag = 0;
    if (row && row->hasContent()) {
        look.marked = true;
        look.textColor = row->titleColor;
        if (row->backFlag != 0) {
            base = row->backColor;
            backFlag = row->backFlag;
        }
    }
    if (hovered) {
        look.fill = true;
        look.fillColor = HoverShade(base);
    } else if (backFlag == 1) {
        look.fill = true;
        look.fillColor = base;
    } else if (today) {
        look.fill = true;
        look.fillColor = TodayShade(base);
    }
    const int blink = look.marked && blinkPhase ? row->blinkKind : 0;
    look.showNumber = blink != 1;
    look.inverted = blink == 2;
    return look;
}

std::uint32_t HeaderGradient(int line, int month, const MonthGrid& grid) {
    const int g =
        ((255 + grid.scaled(4) * line - grid.scaled(4) * grid.scaled(16)) % 256 + 256) % 256;
    return month % 2 ? Rgb(255, 255, g) : Rgb(g, 255, g);
}

int YearMenuStart(int displayedYear) {
    int start = std::max(displayedYear - 5, kFirstYear);
    if (start + 10 > kLastYear) start = kLastYear - 10;
    return start;
}

YearMonth PreviousMonth(YearMonth at) {
    if (at.month > 1) return {at.year, at.month - 1};
    return at.year > kFirstYear ? YearMonth{at.year - 1, 12} : at;
}

YearMonth NextMonth(YearMonth at) {
    if (at.month < 12) return {at.year, at.month + 1};
    return at.year < kLastYear ? YearMonth{at.year + 1, 1} : at;
}

int PreviousYear(int year) {
    return year > kFirstYear ? year - 1 : year;
}

CalendarDay StepDays(CalendarDay from, int days) {
    using namespace std::chrono;
    const sys_days first = year_month_day(year(kFirstYear), January, day(1));
    const sys_days last = year_month_day(year(kLastYear), December, day(31));
    const sys_days start =
        year_month_day(year(from.month.year), month(from.month.month), day(from.day));
    const year_month_day to(std::clamp(start + std::chrono::days(days), first, last));
    return {{static_cast<int>(to.year()), static_cast<int>(unsigned(to.month()))},
            static_cast<int>(unsigned(to.day()))};
}
int NextYear(int year) {
    return year < kLastYear ? year + 1 : year;
}

}  // namespace tl::calendar
