#include "tab_table.h"

#include <gtest/gtest.h>

namespace tl::diary {
namespace {

TabRow Row(int day, int width = 80) {
    return TabRow{u"12-" + std::u16string(1, static_cast<char16_t>(u'0' + day % 10)), width, false,
                  store::Date{2026, 12, static_cast<std::uint8_t>(day)}};
}

TEST(TabTable, HoldsAtMostAHundredRowsAndTheNewestIsCurrent) {
    TabTable table;
    for (int i = 0; i < kMaxTabs; ++i)
        ASSERT_TRUE(table.add(TabRow{u"x", 10, false, store::Date{2000, 1, 1}}));
    EXPECT_FALSE(table.add(Row(1)));
    EXPECT_EQ(table.count(), kMaxTabs);
    EXPECT_EQ(table.current(), kMaxTabs - 1);
}

TEST(TabTable, RemovingKeepsTheIndexesInsideTheTable) {
    TabTable table;
    for (int d = 1; d <= 3; ++d) table.add(Row(d));
    table.remove(store::Date{2026, 12, 3});  // the current, last row
    EXPECT_EQ(table.current(), 1);
    table.setCurrent(1);
    table.remove(store::Date{2026, 12, 1});  // a row before the current
    EXPECT_EQ(table.current(), 0);
    EXPECT_EQ(table.rows()[0].date.day, 2);
    table.remove(store::Date{2026, 12, 2});
    EXPECT_EQ(table.current(), -1);
    EXPECT_EQ(table.firstVisible(), 0);
}

TEST(TabTable, DraggingTheThirdOntoTheFirstShiftsTheOthersRight) {
    TabTable table;
    for (int d = 1; d <= 3; ++d) table.add(Row(d));
    table.move(2, 0);
    EXPECT_EQ(table.rows()[0].date.day, 3);
    EXPECT_EQ(table.rows()[1].date.day, 1);
    EXPECT_EQ(table.rows()[2].date.day, 2);
    EXPECT_EQ(table.current(), 0);
}

TEST(TabTable, HitTestAndScrollingFollowTheWidths) {
    TabTable table;
    for (int d = 1; d <= 5; ++d) table.add(Row(d, 100));
    const int right = 254;  // room for two and a half tabs
    EXPECT_EQ(table.hitTest(3, right), -1);
    EXPECT_EQ(table.hitTest(4, right), 0);
    EXPECT_EQ(table.hitTest(104, right), 1);
    EXPECT_EQ(table.hitTest(right, right), -1);

    table.scrollIntoView(right);  // the current is the last
    EXPECT_EQ(table.firstVisible(), 3);
    EXPECT_EQ(table.hitTest(4, right), 3);
    EXPECT_EQ(table.positions()[2], 4 - 100);
    EXPECT_FALSE(table.scrollRight(right));  // the rest fits
    table.setCurrent(0);
    table.scrollIntoView(right);
    EXPECT_EQ(table.firstVisible(), 0);
    EXPECT_FALSE(table.scrollLeft());
    EXPECT_TRUE(table.scrollRight(right));
    EXPECT_TRUE(table.scrollLeft());
}

TEST(TabTable, RenameFollowsTheNewDate) {
    TabTable table;
    table.add(Row(1));
    table.rename(0, u"01-02-2027", 90, store::Date{2027, 1, 2});
    EXPECT_EQ(table.indexOf(store::Date{2027, 1, 2}), 0);
    EXPECT_EQ(table.indexOf(store::Date{2026, 12, 1}), -1);
    EXPECT_EQ(table.rows()[0].width, 90);
}

}  // namespace
}  // namespace tl::diary
