#include "side_bar_layout.h"

#include <gtest/gtest.h>

namespace tl::calendar {
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

}  // namespace
}  // namespace tl::calendar
