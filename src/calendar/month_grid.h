#pragma once

// The month calendar without a window: where each day sits, what lies under
// a point, how a day cell is coloured, and where the arrows and menus lead.
// The widget paints what this says and routes its input here.

#include <cstdint>
#include <optional>

#include "widgets/color.h"
#include "widgets/rect.h"

namespace tl::calendar {

struct DayRow;

inline constexpr int kFirstYear = 1900;  // the range every year control keeps
inline constexpr int kLastYear = 9999;

// Colours are 0x00BBGGRR, as stored in entries (widgets/color.h).
inline constexpr std::uint32_t kWhite = widgets::Rgb(255, 255, 255);
inline constexpr std::uint32_t kSundayBase = widgets::Rgb(255, 230, 230);

// Red lowered by 25 when it is at least 25.
std::uint32_t HoverShade(std::uint32_t color);
// Red and green each lowered by 20 when at least 20.
std::uint32_t TodayShade(std::uint32_t color);

enum class HeaderHalf { None, Year, Month };
enum class Paging { None, PreviousMonth, NextMonth };

struct YearMonth {
    int year = 0;
    int month = 0;
    friend bool operator==(const YearMonth&, const YearMonth&) = default;
};

// Geometry of one month at one client width. Lengths are designed at 96
// dots per inch and scaled as one value each: s(36 + 18 r), not s(36) + r s(18).
class MonthGrid {
public:
    MonthGrid(int year, int month, int width, int dpi = 96);

    int scaled(int n) const;
    int width() const { return m_width; }
    int columnWidth(int column) const { return m_widths[column]; }
    int columnLeft(int column) const { return m_lefts[column]; }
    // Week row 0..5.
    int rowTop(int row) const { return scaled(36 + 18 * row); }
    int rowHeight() const { return scaled(18); }
    int headerHeight() const { return scaled(18); }
    int paintedHeight() const { return scaled(144) + 2; }
    int daysInMonth() const { return m_days; }
    int columnOf(int day) const { return (m_firstColumn + day - 1) % 7; }
    int rowOf(int day) const { return (m_firstColumn + day - 1) / 7; }
    // The day's cell as its tooltip area: the column's full width, one row high.
    widgets::Rect cellRect(int day) const;
    // The day whose cell holds the point; nullopt outside the month's days.
    std::optional<int> dayAt(int x, int y) const;
    // None below the header; otherwise the half holding x.
    HeaderHalf headerAt(int x, int y) const;
    // A click released where it was pressed, on no day: rows near the top
    // page back, the lower rows page on.
    Paging pagingAt(int y) const;

private:
    int m_dpi;
    int m_width;
    int m_days;
    int m_firstColumn;
    int m_widths[7];
    int m_lefts[7];
};

// How a day cell is painted.
struct DayCellLook {
    bool fill = false;  // false: the background painted beneath stays
    std::uint32_t fillColor = 0;
    std::uint32_t textColor = 0;
    bool marked = false;  // the content triangle
    bool showNumber = true;
    bool inverted = false;
};
// row: the table row of the day, or null when it has none.
DayCellLook CalendarDayLook(const DayRow* row, int column, bool hovered, bool today,
                            bool blinkPhase);

// The header's right half: line i (0 .. s(16) - 1) of the gradient.
std::uint32_t HeaderGradient(int line, int month, const MonthGrid& grid);

// The first of the eleven years of the year menu.
int YearMenuStart(int displayedYear);

// The arrows and the paging clicks; each stays within kFirstYear..kLastYear
// (a step beyond leaves the month as it was).
YearMonth PreviousMonth(YearMonth at);
YearMonth NextMonth(YearMonth at);
int PreviousYear(int year);
int NextYear(int year);

// The day the calendar's keyboard focus moves to: days days on from
// year-month-day (negative: back), stopping at 1 January 1900 and
// 31 December 9999.
struct CalendarDay {
    YearMonth month;
    int day = 1;
    friend bool operator==(const CalendarDay&, const CalendarDay&) = default;
};
CalendarDay StepDays(CalendarDay from, int days);

}  // namespace tl::calendar
