#include "month_grid.h"

#include <gtest/gtest.h>

#include "year_day_table.h"

namespace tl::calendar {

using widgets::Rect;
using widgets::Rgb;

namespace {

TEST(MonthGridTest, ColumnsShareTheWidthWithTheRemainderOnTheRight) {
    const MonthGrid g(2024, 3, 200);
    const int want[7] = {28, 28, 28, 28, 28, 29, 29};
    int left = 0;
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(g.columnWidth(c), want[c]) << c;
        EXPECT_EQ(g.columnLeft(c), left) << c;
        left += want[c];
    }
    EXPECT_EQ(left, 198);
    // A width of 2 or less leaves no room, but nothing goes negative.
    const MonthGrid narrow(2024, 3, 0);
    for (int c = 0; c < 7; ++c) EXPECT_EQ(narrow.columnWidth(c), 0);
}

TEST(MonthGridTest, WeekRowsAreScaledAsOneValue) {
    const MonthGrid at96(2024, 3, 200, 96);
    const MonthGrid at120(2024, 3, 200, 120);
    const int want96[6] = {36, 54, 72, 90, 108, 126};
    const int want120[6] = {45, 67, 90, 112, 135, 157};
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(at96.rowTop(r), want96[r]);
        EXPECT_EQ(at120.rowTop(r), want120[r]);
    }
    EXPECT_EQ(at96.paintedHeight(), 146);
    EXPECT_EQ(at120.rowHeight(), 22);
}

TEST(MonthGridTest, DaysStartOnTheWeekdayOfTheFirst) {
    EXPECT_EQ(store::Weekday(2024, 1, 1), 1);  // a Monday
    EXPECT_EQ(store::Weekday(2000, 2, 29), 2);
    EXPECT_EQ(store::Weekday(1900, 1, 1), 1);
    EXPECT_EQ(store::Weekday(9999, 12, 31), 5);
    // March 2025 starts on a Saturday and has 31 days: all six rows.
    const MonthGrid g(2025, 3, 200);
    EXPECT_EQ(g.columnOf(1), 6);
    EXPECT_EQ(g.rowOf(1), 0);
    EXPECT_EQ(g.columnOf(2), 0);
    EXPECT_EQ(g.rowOf(2), 1);
    EXPECT_EQ(g.columnOf(31), 1);
    EXPECT_EQ(g.rowOf(31), 5);
    // February 2015 starts on a Sunday and fills exactly four rows.
    const MonthGrid feb(2015, 2, 200);
    EXPECT_EQ(feb.daysInMonth(), 28);
    EXPECT_EQ(feb.rowOf(28), 3);
    EXPECT_EQ(feb.columnOf(28), 6);
    EXPECT_EQ(MonthGrid(2000, 2, 200).daysInMonth(), 29);
    EXPECT_EQ(MonthGrid(2100, 2, 200).daysInMonth(), 28);
}

TEST(MonthGridTest, HitTestFindsOnlyTheMonthsDays) {
    const MonthGrid g(2025, 3, 200);
    const Rect last = g.cellRect(31);
    EXPECT_EQ(last, (Rect{28, 126, 56, 144}));
    EXPECT_EQ(g.dayAt(28, 126), 31);
    EXPECT_EQ(g.dayAt(55, 143), 31);
    EXPECT_EQ(g.dayAt(56, 126), std::nullopt);  // after the last day
    EXPECT_EQ(g.dayAt(27, 143), 30);
    EXPECT_EQ(g.dayAt(28, 144), std::nullopt);  // below the last row
    EXPECT_EQ(g.dayAt(0, 36), std::nullopt);    // before the first day
    EXPECT_EQ(g.dayAt(170, 36), 1);
    EXPECT_EQ(g.dayAt(170, 35), std::nullopt);  // the weekday row
    EXPECT_EQ(g.dayAt(198, 40), std::nullopt);  // right of the last column
}

TEST(MonthGridTest, HeaderSplitsAtHalfTheWidthAndClicksBelowPage) {
    const MonthGrid g(2024, 3, 201);
    EXPECT_EQ(g.headerAt(99, 0), HeaderHalf::Year);
    EXPECT_EQ(g.headerAt(100, 17), HeaderHalf::Month);
    EXPECT_EQ(g.headerAt(10, 18), HeaderHalf::None);
    EXPECT_EQ(g.pagingAt(36), Paging::None);
    EXPECT_EQ(g.pagingAt(37), Paging::PreviousMonth);
    EXPECT_EQ(g.pagingAt(71), Paging::PreviousMonth);
    EXPECT_EQ(g.pagingAt(72), Paging::NextMonth);
}

TEST(CalendarColourTest, ShadesLowerOnlyChannelsThatCanTakeIt) {
    EXPECT_EQ(HoverShade(Rgb(0, 0, 255)), Rgb(0, 0, 255));
    EXPECT_EQ(HoverShade(Rgb(24, 100, 100)), Rgb(24, 100, 100));
    EXPECT_EQ(HoverShade(Rgb(25, 100, 100)), Rgb(0, 100, 100));
    EXPECT_EQ(TodayShade(kSundayBase), Rgb(235, 210, 230));
    EXPECT_EQ(TodayShade(kWhite), Rgb(235, 235, 255));
    EXPECT_EQ(TodayShade(Rgb(19, 20, 0)), Rgb(19, 0, 0));
}

DayRow Entry(std::uint8_t backFlag, std::uint32_t backColor, std::uint8_t blink) {
    DayRow r;
    r.month = 5;
    r.day = 4;
    r.hasEntry = true;
    r.titleColor = Rgb(0, 128, 0);
    r.backFlag = backFlag;
    r.backColor = backColor;
    r.blinkKind = blink;
    return r;
}

TEST(CalendarColourTest, DayCellFillFollowsHoverBackgroundAndToday) {
    const DayRow blue = Entry(1, Rgb(0, 0, 255), 0);
    DayCellLook look = CalendarDayLook(&blue, 3, false, false, false);
    EXPECT_TRUE(look.fill);
    EXPECT_EQ(look.fillColor, Rgb(0, 0, 255));
    EXPECT_EQ(look.textColor, Rgb(0, 128, 0));
    EXPECT_TRUE(look.marked);
    look = CalendarDayLook(&blue, 3, true, true, false);
    EXPECT_EQ(look.fillColor, Rgb(0, 0, 255));  // red below 25: unchanged

    // A background flag other than 1 takes the colour only under hover or today.
    const DayRow other = Entry(2, Rgb(100, 100, 100), 0);
    EXPECT_FALSE(CalendarDayLook(&other, 3, false, false, false).fill);
    EXPECT_EQ(CalendarDayLook(&other, 3, false, true, false).fillColor, Rgb(80, 80, 100));
    EXPECT_EQ(CalendarDayLook(&other, 3, true, false, false).fillColor, Rgb(75, 100, 100));

    look = CalendarDayLook(nullptr, 0, false, true, false);
    EXPECT_TRUE(look.fill);
    EXPECT_EQ(look.fillColor, Rgb(235, 210, 230));
    EXPECT_FALSE(look.marked);
    EXPECT_EQ(look.textColor, 0u);
    EXPECT_FALSE(CalendarDayLook(nullptr, 2, false, false, false).fill);

    DayRow empty;  // a row without content is no mark and keeps its base
    empty.backFlag = 1;
    empty.backColor = Rgb(1, 2, 3);
    look = CalendarDayLook(&empty, 2, true, false, false);
    EXPECT_FALSE(look.marked);
    EXPECT_EQ(look.fillColor, HoverShade(kWhite));
}

TEST(CalendarColourTest, BlinkActsOnlyInThePhaseAndOnlyOnMarkedDays) {
    const DayRow text = Entry(0, 0, 1);
    const DayRow both = Entry(0, 0, 2);
    DayRow unmarked = Entry(0, 0, 2);
    unmarked.hasEntry = false;
    for (bool phase : {false, true}) {
        EXPECT_EQ(CalendarDayLook(&text, 1, false, false, phase).showNumber, !phase);
        EXPECT_FALSE(CalendarDayLook(&text, 1, false, false, phase).inverted);
        EXPECT_TRUE(CalendarDayLook(&both, 1, false, false, phase).showNumber);
        EXPECT_EQ(CalendarDayLook(&both, 1, false, false, phase).inverted, phase);
        EXPECT_TRUE(CalendarDayLook(&unmarked, 1, false, false, phase).showNumber);
        EXPECT_FALSE(CalendarDayLook(&unmarked, 1, false, false, phase).inverted);
    }
}

TEST(CalendarColourTest, HeaderGradientWrapsAndAlternatesWithTheMonth) {
    const MonthGrid g(2024, 3, 200);
    EXPECT_EQ(HeaderGradient(0, 3, g), Rgb(255, 255, 191));
    EXPECT_EQ(HeaderGradient(15, 4, g), Rgb(251, 255, 251));
    const MonthGrid big(2024, 3, 200, 192);  // 255 + 8 i - 8 x 32 goes below 0
    EXPECT_EQ(HeaderGradient(0, 1, big), Rgb(255, 255, 255));
    EXPECT_EQ(HeaderGradient(1, 1, big), Rgb(255, 255, 7));
}

TEST(NavigationTest, YearMenuAndArrowsStayWithinTheSupportedYears) {
    EXPECT_EQ(YearMenuStart(1902), 1900);
    EXPECT_EQ(YearMenuStart(2024), 2019);
    EXPECT_EQ(YearMenuStart(9997), 9989);
    EXPECT_EQ(YearMenuStart(9994), 9989);
    EXPECT_EQ(PreviousYear(1900), 1900);
    EXPECT_EQ(NextYear(9999), 9999);
    EXPECT_EQ(PreviousYear(2024), 2023);
    EXPECT_EQ(PreviousMonth({2024, 1}), (YearMonth{2023, 12}));
    EXPECT_EQ(NextMonth({2024, 12}), (YearMonth{2025, 1}));
    EXPECT_EQ(PreviousMonth({1900, 1}), (YearMonth{1900, 1}));
    EXPECT_EQ(NextMonth({9999, 12}), (YearMonth{9999, 12}));
    EXPECT_EQ(NextMonth({9999, 11}), (YearMonth{9999, 12}));
}

TEST(MonthGridTest, KeyboardStepsCrossMonthsAndYearsAndStopAtTheRange) {
    EXPECT_EQ(StepDays({{2024, 2}, 28}, 1), (CalendarDay{{2024, 2}, 29}));
    EXPECT_EQ(StepDays({{2023, 2}, 28}, 1), (CalendarDay{{2023, 3}, 1}));
    EXPECT_EQ(StepDays({{2023, 12}, 29}, 7), (CalendarDay{{2024, 1}, 5}));
    EXPECT_EQ(StepDays({{2024, 3}, 3}, -7), (CalendarDay{{2024, 2}, 25}));
    EXPECT_EQ(StepDays({{1900, 1}, 3}, -7), (CalendarDay{{1900, 1}, 1}));
    EXPECT_EQ(StepDays({{9999, 12}, 30}, 7), (CalendarDay{{9999, 12}, 31}));
}

}  // namespace
}  // namespace tl::calendar
