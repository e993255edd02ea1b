#include "on_this_day.h"

#include <gtest/gtest.h>

#include <fstream>

#include "store/diary_data_file.h"
#include "support/data_file_fixture.h"
#include "support/temp_dir.h"

namespace tl::app {
namespace {

class OnThisDayTest : public ::testing::Test {
protected:
    void save(store::Date date, std::u16string_view title, std::u16string_view text) {
        ASSERT_EQ(data.file->SaveEntry(date, title, u"Rain", text), 1);
    }
    void attach(store::Date date, const std::string& name, std::uint32_t order) {
        const std::string path = (dir / name).string();
        std::ofstream(path) << "bytes of " << name;
        ASSERT_EQ(data.file->AttachFile(path, date, order), 1);
    }
    std::vector<int> years(store::Date asked) {
        std::vector<int> out;
        for (const OnThisDayRow& row : OnThisDayRows(*data.file, asked))
            out.push_back(row.date.year);
        return out;
    }

    testing::MemDataFile data;
    testing::TempDir dir;
};

TEST_F(OnThisDayTest, OneRowPerYearWithTheDateNewestFirstAndOtherDatesLeftOut) {
    save({2019, 3, 5}, u"Old", u"first");
    save({2024, 3, 5}, u"New", u"\n  Market day  \n\nApples\ncheese\nbread");
    save({2021, 3, 5}, u"Mid", u"middle");
    save({2022, 3, 6}, u"Next day", u"not shown");
    save({2022, 4, 5}, u"Next month", u"not shown");
    save({2023, 3, 0}, u"Month note", u"not shown");
    EXPECT_EQ(years({2026, 3, 5}), (std::vector<int>{2024, 2021, 2019}));

    const std::vector<OnThisDayRow> rows = OnThisDayRows(*data.file, {2026, 3, 5});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].yearsAgo, 2);
    EXPECT_EQ(rows[2].yearsAgo, 7);
    EXPECT_EQ(rows[0].title, u"New");
    EXPECT_EQ(rows[0].weather, u"Rain");
    EXPECT_EQ(rows[0].weekday, 2);  // 5 March 2024 was a Tuesday
    EXPECT_TRUE(rows[0].hasText);
    EXPECT_EQ(rows[0].lines, (std::vector<std::u16string>{u"Market day", u"Apples", u"cheese"}));
    EXPECT_FALSE(rows[0].dayBeforeLeapDay);
    // Asked from an earlier year, the later years count forward.
    EXPECT_EQ(OnThisDayRows(*data.file, {2021, 3, 5})[0].yearsAgo, -3);
    EXPECT_EQ(OnThisDayRows(*data.file, {2021, 3, 5})[1].yearsAgo, 0);
}

TEST_F(OnThisDayTest, LeapDayShowsTheTwentyEighthInCommonYearsOnly) {
    save({2024, 2, 29}, u"Leap", u"leap");
    save({2024, 2, 28}, u"Eve of leap", u"not shown beside the 29th");
    save({2023, 2, 28}, u"Common", u"common");
    save({2020, 2, 29}, u"Leap 2020", u"leap");
    save({2021, 2, 27}, u"Too early", u"not shown");
    const std::vector<OnThisDayRow> rows = OnThisDayRows(*data.file, {2025, 2, 29});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].date, (store::Date{2024, 2, 29}));
    EXPECT_FALSE(rows[0].dayBeforeLeapDay);
    EXPECT_EQ(rows[1].date, (store::Date{2023, 2, 28}));
    EXPECT_TRUE(rows[1].dayBeforeLeapDay);
    EXPECT_EQ(rows[1].title, u"Common");
    EXPECT_EQ(rows[2].date, (store::Date{2020, 2, 29}));
    // The 28th itself is every year's 28th, leap years included, unmarked.
    const std::vector<OnThisDayRow> eve = OnThisDayRows(*data.file, {2025, 2, 28});
    ASSERT_EQ(eve.size(), 2u);
    EXPECT_EQ(eve[0].title, u"Eve of leap");
    EXPECT_FALSE(eve[0].dayBeforeLeapDay || eve[1].dayBeforeLeapDay);
}

TEST_F(OnThisDayTest, YearsWithoutTheDateOrWithATitleOnlyGiveNoRow) {
    EXPECT_TRUE(OnThisDayRows(*data.file, {2026, 7, 1}).empty());
    save({2020, 7, 1}, u"Kept", u"text");
    // A header without a text is no diary.
    ASSERT_EQ(data.file->WriteRecord(testing::RecordImage(store::kKindEntryHeader, 2022, 7, 1, 2)),
              1);
    EXPECT_EQ(years({2026, 7, 1}), (std::vector<int>{2020}));
    // Not a date of the diary.
    EXPECT_TRUE(OnThisDayRows(*data.file, {2026, 0, 0}).empty());
    EXPECT_TRUE(OnThisDayRows(*data.file, {2026, 13, 1}).empty());
}

TEST_F(OnThisDayTest, ADateWithOnlyAttachmentsCountsFilesAndPicksTheFirstPictureByOrder) {
    attach({2023, 5, 9}, "tickets.pdf", 1);
    attach({2023, 5, 9}, "late.JPG", 4);
    attach({2023, 5, 9}, "early.png", 2);
    const std::vector<OnThisDayRow> rows = OnThisDayRows(*data.file, {2026, 5, 9});
    ASSERT_EQ(rows.size(), 1u);
    const OnThisDayRow& row = rows[0];
    EXPECT_FALSE(row.hasText);
    EXPECT_TRUE(row.title.empty());
    EXPECT_TRUE(row.lines.empty());
    EXPECT_EQ(row.files, 1);
    EXPECT_EQ(row.pictures, 2);
    EXPECT_EQ(row.firstPictureOrder, 2u);
    EXPECT_EQ(row.firstPictureName, u"early.png");
    const std::vector<store::AttachmentInfo> list = data.file->ListAttachments({2023, 5, 9});
    const auto early = std::find_if(list.begin(), list.end(),
                                    [](const store::AttachmentInfo& a) { return a.order == 2; });
    ASSERT_NE(early, list.end());
    EXPECT_EQ(row.firstPictureUnit, early->unit);
}

TEST_F(OnThisDayTest, MonthNotesAcrossYears) {
    save({2022, 6, 0}, u"June plans", u"garden");
    save({2024, 6, 0}, u"June again", u"sea");
    save({2024, 6, 1}, u"A day", u"not a note");
    save({2024, 0, 0}, u"Year note", u"not a month note");
    attach({2019, 6, 0}, "plan.txt", 1);
    const std::vector<OnThisDayRow> rows = OnThisDayRows(*data.file, {2026, 6, 0});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].date, (store::Date{2024, 6, 0}));
    EXPECT_EQ(rows[0].weekday, -1);
    EXPECT_EQ(rows[1].title, u"June plans");
    EXPECT_EQ(rows[2].files, 1);
    EXPECT_FALSE(rows[2].hasText);
}

TEST(OnThisDayTexts, FirstLinesSkipBlankLinesAndCutLongOnes) {
    EXPECT_TRUE(FirstLines(u"", 3, 10).empty());
    EXPECT_TRUE(FirstLines(u" \r\n\t\r\n", 3, 10).empty());
    EXPECT_EQ(FirstLines(u"a\r\n\r\nb\r\nc\r\nd", 2, 10),
              (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_EQ(FirstLines(u"abcdefghijkl", 1, 5), (std::vector<std::u16string>{u"abcd\u2026"}));
    // A surrogate pair at the cut stays whole.
    EXPECT_EQ(FirstLines(u"abc\U0001F600xyz", 1, 5), (std::vector<std::u16string>{u"abc\u2026"}));
    EXPECT_EQ(YearsAgoText(0), "this year");
    EXPECT_EQ(YearsAgoText(1), "1 year ago");
    EXPECT_EQ(YearsAgoText(10), "10 years ago");
    EXPECT_EQ(YearsAgoText(-2), "in 2 years");
}

}  // namespace
}  // namespace tl::app
