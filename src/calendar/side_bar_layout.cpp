#include "side_bar_layout.h"

#include <algorithm>

#include "widgets/scale.h"

namespace tl::calendar {

using widgets::Rect;

namespace {

Rect At(int x, int y, int w, int h) {
    return {x, y, x + std::max(0, w), y + std::max(0, h)};
}

}  // namespace

SideBarLayout LayOutSideBar(int width, int height, bool calendarWanted, int dpi) {
    const auto s = [dpi](int n) { return widgets::ScaleAt(n, dpi); };
    const int W = width;
    SideBarLayout l;
    l.calendarShown = calendarWanted && W >= s(168);
    const int listTop = s(30) + (l.calendarShown ? s(150) : 0);
    if (l.calendarShown) l.calendar = At(s(5), s(28), W - s(13) + s(2), 8 * s(18) + s(2));
    const int buttonTop = s(2);
    const int buttonHeight = s(23);
    l.yesterdayShown = W >= s(155);
    if (l.yesterdayShown) {
        l.todayButton = At(s(5), buttonTop, W / 2 - s(5), buttonHeight);
        l.yesterdayButton = At(s(2) + W / 2, buttonTop, W / 2 - s(7), buttonHeight);
    } else {
        l.todayButton = At(s(5), buttonTop, W - s(10), buttonHeight);
    }
    // A wide bar has room for "On this day" beside them: three buttons in
    // a row, s(3) apart.
    l.onThisDayShown = W >= s(240);
    if (l.onThisDayShown) {
        const int third = (W - s(10) - 2 * s(3)) / 3;
        l.todayButton = At(s(5), buttonTop, third, buttonHeight);
        l.yesterdayButton = At(s(5) + third + s(3), buttonTop, third, buttonHeight);
        const int last = s(5) + 2 * (third + s(3));
        l.onThisDayButton = At(last, buttonTop, W - s(5) - last, buttonHeight);
    }
    // The bar has no tool or edit bar inside it here (they are the main
    // window's), so the list runs to s(5) above the bar's bottom.
    const int arrow = s(15);
    const int bottom = height - s(5);
    l.upButton = At(W - s(20), listTop, s(14), arrow);
    l.downButton = At(W - s(20), bottom - arrow, s(14), arrow);
    l.scrollBar = At(W - s(20), listTop + arrow, s(14), bottom - arrow - listTop - arrow);
    l.dayList = At(s(5), listTop, W - s(25), bottom - listTop);
    l.listShown = bottom - listTop >= s(24);
    return l;
}

int ClampSideBarWidth(int width, int dpi) {
    return std::clamp(width, widgets::ScaleAt(65, dpi), widgets::ScaleAt(837, dpi));
}

bool OnResizeGrip(int xInBar, int barWidth, DockSide side) {
    if (xInBar < 0 || xInBar >= barWidth) return false;
    return side == DockSide::Left ? xInBar >= barWidth - kResizeGripWidth
                                  : xInBar < kResizeGripWidth;
}

int DraggedWidth(int pressWidth, int pressX, int x, DockSide side, int dpi) {
    const int travel = side == DockSide::Left ? x - pressX : pressX - x;
    return ClampSideBarWidth(pressWidth + travel, dpi);
}

std::optional<DockSide> DockSideWhileDragging(int x, int barLeft, int barRight, int frameLeft,
                                              int frameRight) {
    if (barLeft <= x && x < barRight) return std::nullopt;
    return x < frameLeft + (frameRight - frameLeft) / 2 ? DockSide::Left : DockSide::Right;
}

}  // namespace tl::calendar
