#include "side_bar_layout.h"

#include <gtest/gtest.h>

#include "arrow_shapes.h"

namespace tl::calendar {

using widgets::Rect;

namespace {

TEST(SideBarLayoutTest, CalendarNeedsItsWidthAndPushesTheListDown) {
    SideBarLayout l = LayOutSideBar(264, 600, true);
    EXPECT_TRUE(l.calendarShown);
    EXPECT_EQ(l.dayList.top, 180);
    EXPECT_EQ(l.calendar, (Rect{5, 28, 258, 174}));
    l = LayOutSideBar(264, 600, false);
    EXPECT_FALSE(l.calendarShown);
    EXPECT_EQ(l.dayList.top, 30);
    l = LayOutSideBar(160, 600, true);  // switched on but too narrow
    EXPECT_FALSE(l.calendarShown);
    EXPECT_EQ(l.dayList.top, 30);
    EXPECT_EQ(LayOutSideBar(120, 600, true, 120).dayList.top, 37);
}

TEST(SideBarLayoutTest, NarrowBarsKeepOnlyTheTodayButton) {
    SideBarLayout l = LayOutSideBar(160, 600, true);
    EXPECT_TRUE(l.yesterdayShown);
    EXPECT_EQ(l.todayButton.right - l.todayButton.left, 75);
    EXPECT_EQ(l.yesterdayButton.left, 82);
    l = LayOutSideBar(150, 600, true);
    EXPECT_FALSE(l.yesterdayShown);
    EXPECT_EQ(l.todayButton.right - l.todayButton.left, 140);
    EXPECT_FALSE(l.onThisDayShown);
}

TEST(SideBarLayoutTest, AWideBarShowsOnThisDayAsAThirdButton) {
    EXPECT_FALSE(LayOutSideBar(239, 600, true).onThisDayShown);
    const SideBarLayout l = LayOutSideBar(264, 600, true);
    ASSERT_TRUE(l.onThisDayShown && l.yesterdayShown);
    EXPECT_EQ(l.todayButton.left, 5);
    EXPECT_EQ(l.yesterdayButton.left, l.todayButton.right + 3);
    EXPECT_EQ(l.onThisDayButton.left, l.yesterdayButton.right + 3);
    EXPECT_EQ(l.onThisDayButton.right, 259);
    EXPECT_EQ(l.todayButton.right - l.todayButton.left, 82);
}

TEST(SideBarLayoutTest, ListAndScrollPartsShareTheHeightAndHideWhenLow) {
    SideBarLayout l = LayOutSideBar(264, 600, true);
    EXPECT_TRUE(l.listShown);
    EXPECT_EQ(l.dayList.bottom, 595);
    EXPECT_EQ(l.upButton.bottom, l.scrollBar.top);
    EXPECT_EQ(l.scrollBar.bottom, l.downButton.top);
    EXPECT_EQ(l.dayList.right, 244);
    l = LayOutSideBar(264, 180 + 5 + 23, true);
    EXPECT_FALSE(l.listShown);
    l = LayOutSideBar(264, 180 + 5 + 24, true);
    EXPECT_TRUE(l.listShown);
    l = LayOutSideBar(20, 10, true);  // nothing has a negative size
    EXPECT_GE(l.dayList.right, l.dayList.left);
    EXPECT_GE(l.scrollBar.bottom, l.scrollBar.top);
}

TEST(SideBarLayoutTest, DraggedWidthStaysWithinItsLimits) {
    EXPECT_EQ(ClampSideBarWidth(1264), 837);
    EXPECT_EQ(ClampSideBarWidth(30), 65);
    EXPECT_EQ(ClampSideBarWidth(300), 300);
    EXPECT_EQ(ClampSideBarWidth(30, 120), 81);
}

TEST(SideBarLayoutTest, GripIsTheInnerEdgeAndItsDragWidensTowardsTheMiddle) {
    EXPECT_TRUE(OnResizeGrip(259, 264, DockSide::Left));
    EXPECT_TRUE(OnResizeGrip(263, 264, DockSide::Left));
    EXPECT_FALSE(OnResizeGrip(258, 264, DockSide::Left));
    EXPECT_FALSE(OnResizeGrip(264, 264, DockSide::Left));
    EXPECT_FALSE(OnResizeGrip(2, 264, DockSide::Left));
    EXPECT_TRUE(OnResizeGrip(0, 264, DockSide::Right));
    EXPECT_TRUE(OnResizeGrip(4, 264, DockSide::Right));
    EXPECT_FALSE(OnResizeGrip(5, 264, DockSide::Right));
    EXPECT_FALSE(OnResizeGrip(262, 264, DockSide::Right));

    // Docked left: dragging right widens; 1000 pixels stop at the limit.
    EXPECT_EQ(DraggedWidth(264, 300, 1300, DockSide::Left), 837);
    EXPECT_EQ(DraggedWidth(264, 300, 340, DockSide::Left), 304);
    EXPECT_EQ(DraggedWidth(264, 300, 0, DockSide::Left), 65);
    // Docked right: the same travel narrows.
    EXPECT_EQ(DraggedWidth(264, 900, 940, DockSide::Right), 224);
    EXPECT_EQ(DraggedWidth(264, 900, 700, DockSide::Right), 464);
    EXPECT_EQ(DraggedWidth(264, 900, 2000, DockSide::Right, 120), 81);
}

TEST(SideBarLayoutTest, DraggedBarDocksAtTheHalfThePointerReachedOutsideIt) {
    // Bar at 0..264 of a frame spanning 0..1000.
    EXPECT_EQ(DockSideWhileDragging(100, 0, 264, 0, 1000), std::nullopt);
    EXPECT_EQ(DockSideWhileDragging(263, 0, 264, 0, 1000), std::nullopt);
    EXPECT_EQ(DockSideWhileDragging(300, 0, 264, 0, 1000), DockSide::Left);
    EXPECT_EQ(DockSideWhileDragging(499, 0, 264, 0, 1000), DockSide::Left);
    EXPECT_EQ(DockSideWhileDragging(500, 0, 264, 0, 1000), DockSide::Right);
    // A frame elsewhere on the screen: its own middle counts.
    EXPECT_EQ(DockSideWhileDragging(1700, 2736, 3000, 2000, 3000), DockSide::Left);
    EXPECT_EQ(DockSideWhileDragging(2600, 2736, 3000, 2000, 3000), DockSide::Right);
}

TEST(ArrowShapesTest, ArrowsAtTheirDesignedPixelsAndScaled) {
    EXPECT_EQ(CalendarArrow(ArrowDirection::Left), (Triangle{{{10, 3}, {10, 11}, {6, 7}}}));
    EXPECT_EQ(CalendarArrow(ArrowDirection::Right), (Triangle{{{6, 3}, {6, 11}, {10, 7}}}));
    EXPECT_EQ(CalendarArrowHover(ArrowDirection::Left, false),
              (Triangle{{{9, 5}, {9, 9}, {7, 7}}}));
    EXPECT_EQ(CalendarArrowHover(ArrowDirection::Right, true),
              (Triangle{{{7, 6}, {7, 8}, {8, 7}}}));
    // 120 dots per inch: L 7, A 5, T 3, H 10, M 8.
    EXPECT_EQ(CalendarArrow(ArrowDirection::Left, 120), (Triangle{{{12, 3}, {12, 13}, {7, 8}}}));

    const std::array<Triangle, 2> up = MonthPageArrows(ArrowDirection::Up, false);
    EXPECT_EQ(up[0], (Triangle{{{4, 6}, {8, 6}, {6, 4}}}));
    EXPECT_EQ(up[1], (Triangle{{{4, 9}, {8, 9}, {6, 7}}}));
    const std::array<Triangle, 2> down = MonthPageArrows(ArrowDirection::Down, true);
    EXPECT_EQ(down[0], (Triangle{{{5, 5}, {9, 5}, {7, 7}}}));
    EXPECT_EQ(down[1], (Triangle{{{5, 8}, {9, 8}, {7, 10}}}));
}

}  // namespace
}  // namespace tl::calendar
