#pragma once

// Where the side bar's children go for a bar width and the height
// available to it; plain computation so that it is tested without a window.

#include <optional>

#include "month_grid.h"
#include "widgets/rect.h"

namespace tl::calendar {

struct SideBarLayout {
    bool calendarShown = false;
    widgets::Rect calendar;
    widgets::Rect todayButton;
    bool yesterdayShown = false;
    widgets::Rect yesterdayButton;
    bool onThisDayShown = false;  // a third button where the bar is wide enough
    widgets::Rect onThisDayButton;
    widgets::Rect upButton;
    widgets::Rect downButton;
    widgets::Rect scrollBar;
    widgets::Rect dayList;
    bool listShown = false;
};

// width and height of the bar in pixels; calendarWanted is the user's
// choice, which a narrow bar overrides.
SideBarLayout LayOutSideBar(int width, int height, bool calendarWanted, int dpi = 96);
// The width a drag leaves, within s(65)..s(837).
int ClampSideBarWidth(int width, int dpi = 96);

// Resizing and docking the bar with the mouse. x values are screen pixels.
enum class DockSide { Left, Right };
inline constexpr int kResizeGripWidth = 5;
// The grip is the bar's inner edge: the right one when docked left.
bool OnResizeGrip(int xInBar, int barWidth, DockSide side);
// The width while the grip is dragged from pressX to x: travel towards the
// main window's centre widens, within the limits.
int DraggedWidth(int pressWidth, int pressX, int x, DockSide side, int dpi = 96);
// While the bar's body is dragged: once the pointer has left the bar
// horizontally, the half of the main window it is over; nullopt before that.
std::optional<DockSide> DockSideWhileDragging(int x, int barLeft, int barRight, int frameLeft,
                                              int frameRight);

}  // namespace tl::calendar
