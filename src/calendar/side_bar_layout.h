#pragma once

// Where the side bar's children go for a bar width and the height
// available to it; plain computation so that it is tested without a window.

#include "month_grid.h"

namespace tl::calendar {

struct SideBarLayout {
    bool calendarShown = false;
    Rect calendar;
    Rect todayButton;
    bool yesterdayShown = false;
    Rect yesterdayButton;
    Rect upButton;
    Rect downButton;
    Rect scrollBar;
    Rect dayList;
    bool listShown = false;
};

// width and height of the bar in pixels; calendarWanted is the user's
// choice, which a narrow bar overrides.
SideBarLayout LayOutSideBar(int width, int height, bool calendarWanted, int dpi = 96);
// The width a drag leaves, within s(65)..s(837).
int ClampSideBarWidth(int width, int dpi = 96);

}  // namespace tl::calendar
