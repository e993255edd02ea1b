#pragma once

// The small arrow buttons of the side bar, as triangles: the calendar's
// year and month arrows and the day list's month page buttons.

#include <array>

namespace tl::calendar {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};
using Triangle = std::array<Point, 3>;

enum class ArrowDirection { Left, Right, Up, Down };

// The calendar's arrow, filled grey (darker while pushed).
Triangle CalendarArrow(ArrowDirection direction, int dpi = 96);
// The white outline drawn inside the arrow while the pointer is over it.
Triangle CalendarArrowHover(ArrowDirection direction, bool pushed, int dpi = 96);

// The two stacked arrows of a month page button (Up or Down), one pixel
// right and down while pushed.
std::array<Triangle, 2> MonthPageArrows(ArrowDirection direction, bool pushed, int dpi = 96);

}  // namespace tl::calendar
