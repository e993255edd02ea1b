#include "day_list_layout.h"

#include <gtest/gtest.h>

#include "month_grid.h"
#include "year_day_table.h"

namespace tl::calendar {

using widgets::Rgb;

namespace {

DayRow Row(int month, int day) {
    DayRow r;
    r.month = static_cast<std::uint8_t>(month);
    r.day = static_cast<std::uint8_t>(day);
    return r;
}

TEST(DayListLayoutTest, ScrollLimitsFollowTheTableAndTheHeight) {
    DayListLayout list;  // rows of 29 pixels
    list.rebuild(365, 290);
    EXPECT_EQ(list.visibleRows(), 10);
    EXPECT_EQ(list.lastTopRow(), 355);
    list.scrollTo(400);  // going to a late day is not limited at once
    EXPECT_EQ(list.topRow(), 400);
    list.rebuild(365, 290);
    EXPECT_EQ(list.topRow(), 355);
    list.lineDown();
    EXPECT_EQ(list.topRow(), 355);
    list.pageUp();
    EXPECT_EQ(list.topRow(), 345);
    list.scrollTo(-3);
    EXPECT_EQ(list.topRow(), 0);
    list.lineUp();
    EXPECT_EQ(list.topRow(), 0);
    list.pageDown();
    EXPECT_EQ(list.topRow(), 10);

    // Fewer rows than fit: nothing to scroll, and an empty table too.
    list.rebuild(2, 290);
    EXPECT_EQ(list.lastTopRow(), 0);
    EXPECT_EQ(list.topRow(), 0);
    list.pageDown();
    EXPECT_EQ(list.topRow(), 0);
    list.rebuild(0, 290);
    EXPECT_EQ(list.rowAt(0), std::nullopt);
}

TEST(DayListLayoutTest, WheelMovesOneLinePerNotchAndDragFollowsThePointer) {
    DayListLayout list;
    list.rebuild(365, 290);
    list.scrollTo(100);
    list.wheel(-360);
    EXPECT_EQ(list.topRow(), 103);
    list.wheel(240);
    EXPECT_EQ(list.topRow(), 101);
    list.wheel(119);  // less than a notch
    EXPECT_EQ(list.topRow(), 101);
    list.wheel(1);  // completes it
    EXPECT_EQ(list.topRow(), 100);
    for (int i = 0; i < 4; ++i) list.wheel(-30);  // a fine-grained wheel
    EXPECT_EQ(list.topRow(), 101);
    list.dragTo(200, 101, 200 - 3 * 29);
    EXPECT_EQ(list.topRow(), 104);
    list.dragTo(0, 10, 1000);
    EXPECT_EQ(list.topRow(), 0);
    list.dragTo(100000, 300, 0);
    EXPECT_EQ(list.topRow(), 355);
}

TEST(DayListLayoutTest, KeyboardSelectionIsScrolledIntoViewByTheLeastMove) {
    DayListLayout list;
    list.rebuild(365, 290);  // ten rows
    list.scrollTo(100);
    list.ensureVisible(105);
    EXPECT_EQ(list.topRow(), 100);
    list.ensureVisible(110);
    EXPECT_EQ(list.topRow(), 101);
    list.ensureVisible(99);
    EXPECT_EQ(list.topRow(), 99);
    list.ensureVisible(364);
    EXPECT_EQ(list.topRow(), 355);
    list.rebuild(365, 10);  // lower than a row: the row itself goes on top
    list.ensureVisible(200);
    EXPECT_EQ(list.topRow(), 200);
}

TEST(DayListLayoutTest, RowUnderAPointStopsAtTheLastRow) {
    DayListLayout list;
    list.rebuild(12, 290);
    list.scrollTo(2);
    EXPECT_EQ(list.rowAt(0), 2);
    EXPECT_EQ(list.rowAt(28), 2);
    EXPECT_EQ(list.rowAt(29), 3);
    EXPECT_EQ(list.rowAt(9 * 29), 11);
    EXPECT_EQ(list.rowAt(10 * 29), std::nullopt);
    EXPECT_EQ(list.rowAt(-1), std::nullopt);
    EXPECT_EQ(DayListLayout(120).rowHeight(), 36);
}

TEST(DayListLayoutTest, MonthPagesCrossYearEndsButNotTheSupportedRange) {
    DayListLayout list;
    list.rebuild(365, 290);
    EXPECT_EQ(MonthPageUp(list, 2024).yearStep, -1);
    EXPECT_EQ(MonthPageUp(list, 2024).topRow, 334);
    EXPECT_EQ(MonthPageUp(list, 1900).yearStep, 0);
    EXPECT_EQ(MonthPageUp(list, 1900).topRow, 0);
    list.scrollTo(20);
    EXPECT_EQ(MonthPageUp(list, 2024).topRow, 0);
    EXPECT_EQ(MonthPageDown(list, 2024).topRow, 51);
    list.scrollTo(340);
    EXPECT_EQ(MonthPageDown(list, 2024).topRow, 355);
    EXPECT_EQ(MonthPageDown(list, 2024).yearStep, 0);
    list.scrollTo(355);
    EXPECT_EQ(MonthPageDown(list, 2024).yearStep, 1);
    EXPECT_EQ(MonthPageDown(list, 2024).topRow, 30);
    EXPECT_EQ(MonthPageDown(list, 9999).yearStep, 0);
    EXPECT_EQ(MonthPageDown(list, 9999).topRow, 355);
}

TEST(DayListStripTest, ColoursCountRowsOfTheSameMonthAbove) {
    const std::vector<DayRow> rows = {Row(3, 3), Row(3, 10), Row(4, 1)};
    EXPECT_EQ(StripIndex(rows, 0), 0);
    EXPECT_EQ(StripIndex(rows, 1), 1);
    EXPECT_EQ(StripIndex(rows, 2), 0);
    EXPECT_EQ(MonthStripColor(3, 0), Rgb(255, 255, 128));
    EXPECT_EQ(MonthStripColor(3, 1), Rgb(255, 255, 132));
    EXPECT_EQ(MonthStripColor(4, 2), Rgb(136, 255, 136));
    EXPECT_EQ(MonthStripColor(1, 30), Rgb(255, 255, 248));
    EXPECT_EQ(MonthStripColor(1, 40), Rgb(255, 255, 248));
}

TEST(DayListStripTest, VisibleRowsGroupByMonth) {
    std::vector<DayRow> rows;
    for (int d = 25; d <= 31; ++d) rows.push_back(Row(1, d));
    for (int d = 1; d <= 10; ++d) rows.push_back(Row(2, d));
    DayListLayout list;
    list.rebuild(static_cast<int>(rows.size()), 5 * 29 + 10);  // 5 whole rows, a part of one
    list.scrollTo(4);
    const std::vector<MonthGroup> groups = VisibleMonthGroups(rows, list);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].month, 1);
    EXPECT_EQ(groups[0].firstRow, 0);
    EXPECT_EQ(groups[0].rows, 3);
    EXPECT_EQ(groups[1].month, 2);
    EXPECT_EQ(groups[1].firstRow, 3);
    EXPECT_EQ(groups[1].rows, 3);  // the partly visible row counts
    list.rebuild(0, 100);
    EXPECT_TRUE(VisibleMonthGroups({}, list).empty());
}

TEST(DayListColourTest, RowFillsFollowHoverTodayAndTheTitleBackground) {
    EXPECT_EQ(SundayBandColor(0, false, false), Rgb(255, 200, 200));
    EXPECT_EQ(SundayBandColor(3, true, false), Rgb(230, 203, 203));
    EXPECT_EQ(SundayBandColor(0, false, true), Rgb(235, 180, 200));
    EXPECT_EQ(SundayBandColor(80, false, false), Rgb(255, 255, 255));
    EXPECT_EQ(PlainRowColor(true), Rgb(230, 255, 255));
    EXPECT_EQ(PlainRowColor(false), kWhite);

    DayRow row = Row(5, 4);
    row.hasEntry = true;
    row.backFlag = 1;
    row.backColor = Rgb(100, 0, 0);
    EXPECT_EQ(RowFillOver(row, false, false, true).color, Rgb(100, 0, 0));
    EXPECT_EQ(RowFillOver(row, true, true, false).color, Rgb(75, 0, 0));
    row.hasEntry = false;  // no content: the background flag is not used
    EXPECT_FALSE(RowFillOver(row, false, false, false).fill);
    EXPECT_EQ(RowFillOver(row, false, false, true).color, Rgb(235, 235, 255));
    EXPECT_FALSE(RowFillOver(row, true, false, true).fill);  // Sunday bands carry today
    EXPECT_FALSE(RowFillOver(row, false, true, true).fill);  // hover wins over today
}

}  // namespace
}  // namespace tl::calendar
