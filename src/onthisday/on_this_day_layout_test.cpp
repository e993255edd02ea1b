#include "on_this_day_layout.h"

#include <gtest/gtest.h>

namespace tl::onthisday {
namespace {

app::OnThisDayRow Row(int year, int yearsAgo, std::size_t lines, bool picture) {
    app::OnThisDayRow row;
    row.date = {static_cast<std::int16_t>(year), 3, 5};
    row.yearsAgo = yearsAgo;
    row.weekday = 2;
    row.lines.assign(lines, u"text");
    if (picture) {
        row.firstPictureUnit = 40;
        row.pictures = 1;
    }
    return row;
}

TEST(OnThisDayTexts, CaptionHeadingAndMarks) {
    EXPECT_EQ(CaptionText({2026, 3, 5}), u"On this day: 5 March");
    EXPECT_EQ(CaptionText({2026, 6, 0}), u"This month in other years: June");
    app::OnThisDayRow row = Row(2024, 2, 0, false);
    EXPECT_EQ(HeadingText(row), u"2024  Tue  2 years ago");
    row.dayBeforeLeapDay = true;
    row.weekday = -1;
    EXPECT_EQ(HeadingText(row), u"2024  2 years ago  (28 February)");
    EXPECT_EQ(MarksText(row), u"");
    row.pictures = 1;
    EXPECT_EQ(MarksText(row), u"1 picture");
    row.files = 3;
    EXPECT_EQ(MarksText(row), u"1 picture, 3 files");
    row.pictures = 0;
    EXPECT_EQ(MarksText(row), u"3 files");
}

TEST(OnThisDayStack, RowsStackByTheirLinesAndThumbnailAndPointsFindThem) {
    const std::vector<app::OnThisDayRow> rows = {Row(2024, 2, 3, false), Row(2023, 3, 0, true),
                                                 Row(2022, 4, 0, false)};
    RowStack stack;
    stack.layOut(rows, {10, 48, 4});
    ASSERT_EQ(stack.count(), 3);
    EXPECT_EQ(stack.height(0), 5 * 10 + 8);  // heading, title, three lines
    EXPECT_EQ(stack.height(1), 48 + 8);      // the thumbnail is higher than two lines
    EXPECT_EQ(stack.height(2), 2 * 10 + 8);
    EXPECT_EQ(stack.top(2), 58 + 56);
    EXPECT_EQ(stack.totalHeight(), 58 + 56 + 28);
    EXPECT_EQ(stack.rowAt(0), 0);
    EXPECT_EQ(stack.rowAt(57), 0);
    EXPECT_EQ(stack.rowAt(58), 1);
    EXPECT_EQ(stack.rowAt(stack.totalHeight() - 1), 2);
    EXPECT_FALSE(stack.rowAt(stack.totalHeight()));
    EXPECT_FALSE(stack.rowAt(-1));
    stack.layOut({}, {10, 48, 4});
    EXPECT_EQ(stack.count(), 0);
    EXPECT_FALSE(stack.rowAt(0));
}

TEST(OnThisDayKeys, MovesStayWithinTheRows) {
    EXPECT_EQ(MovedRow(-1, 0, Move::Down, 3), -1);
    EXPECT_EQ(MovedRow(-1, 5, Move::Down, 3), 0);
    EXPECT_EQ(MovedRow(-1, 5, Move::End, 3), 4);
    EXPECT_EQ(MovedRow(0, 5, Move::Up, 3), 0);
    EXPECT_EQ(MovedRow(0, 5, Move::Down, 3), 1);
    EXPECT_EQ(MovedRow(4, 5, Move::Down, 3), 4);
    EXPECT_EQ(MovedRow(1, 5, Move::PageDown, 3), 4);
    EXPECT_EQ(MovedRow(4, 5, Move::PageUp, 3), 1);
    EXPECT_EQ(MovedRow(3, 5, Move::PageUp, 0), 2);  // a page is at least a row
    EXPECT_EQ(MovedRow(3, 5, Move::Home, 3), 0);
    EXPECT_EQ(MovedRow(9, 5, Move::Up, 3), 0);  // a stale row starts over
}

}  // namespace
}  // namespace tl::onthisday
