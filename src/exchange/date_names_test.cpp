#include "date_names.h"

#include <gtest/gtest.h>

#include "exchange_texts.h"
#include "field_checks.h"
#include "support/temp_dir.h"

namespace tl::exchange {
namespace {

store::Date Parsed(std::string_view name) {
    store::Date d{-1, 99, 99};
    return ParseDateName(name, &d) ? d : store::Date{-1, 99, 99};
}

TEST(DateNames, AcceptsTheThreeFormsAndIgnoresTheSeparatorBeforeTheDay) {
    EXPECT_EQ(Parsed("2024"), (store::Date{2024, 0, 0}));
    EXPECT_EQ(Parsed("2024-03"), (store::Date{2024, 3, 0}));
    EXPECT_EQ(Parsed("2024-03-05"), (store::Date{2024, 3, 5}));
    EXPECT_EQ(Parsed("2024-03x05"), (store::Date{2024, 3, 5}));
}

TEST(DateNames, RefusesOtherLengthsNonDigitsAndAMissingDash) {
    store::Date d;
    for (const char* bad :
         {"", "202", "2024-", "2024-3", "2024-3-5", "2024-03-5", "2024/03/05", "2024-03-05x",
          "20a4", "2024-0a", "2024-03-0x", "notes", "2024-03-05.txt"})
        EXPECT_EQ(ParseDateName(bad, &d), 0) << bad;
}

TEST(DateNames, ValidityFollowsTheCalendar) {
    EXPECT_EQ(IsValidDate(2024, 2, 29), 1);
    EXPECT_EQ(IsValidDate(2023, 2, 29), 0);
    EXPECT_EQ(IsValidDate(1900, 2, 29), 0);
    EXPECT_EQ(IsValidDate(2000, 2, 29), 1);
    EXPECT_EQ(IsValidDate(1899, 12, 31), 0);
    EXPECT_EQ(IsValidDate(1900, 0, 0), 1);
    EXPECT_EQ(IsValidDate(2024, 13, 0), 0);
    EXPECT_EQ(IsValidDate(2024, 0, 5), 0);
    EXPECT_EQ(IsValidDate(2024, 4, 31), 0);
}

TEST(DateNames, StemsOfDaysMonthNotesAndYearNotes) {
    EXPECT_EQ(store::DateText({2024, 3, 5}), "2024-03-05");
    EXPECT_EQ(store::DateText({2024, 3, 0}), "2024-03");
    EXPECT_EQ(store::DateText({2024, 0, 0}), "2024");
}

TEST(RangeChecks, YearsOnlyCoverTheirNotes) {
    RangeCheck r = CheckRange({"2023", "", ""}, {"2024", "", ""});
    EXPECT_FALSE(r.error);
    EXPECT_EQ(r.fromKey, "20230000");
    EXPECT_EQ(r.toKey, "20249999");
    r = CheckRange({"2023", "4", ""}, {"2023", "4", ""});
    EXPECT_EQ(r.fromKey, "20230400");
    EXPECT_EQ(r.toKey, "20230499");
    r = CheckRange({"", "", ""}, {"", "", ""});
    EXPECT_EQ(r.fromKey, "00000000");
    EXPECT_EQ(r.toKey, "99999999");
}

TEST(RangeChecks, EachMistakeHasItsMessageAndField) {
    struct Case {
        DateFields from, to;
        res::Msg msg;
        bool inEnd;
        RangeField field;
    } cases[] = {
        {{"", "3", ""}, {}, res::Msg::EnterYear, false, RangeField::Year},
        {{"1899", "", ""}, {}, res::Msg::Specify1900OrLater, false, RangeField::Year},
        {{"2024", "", "5"}, {}, res::Msg::EnterMonth, false, RangeField::Month},
        {{"2024", "13", ""}, {}, res::Msg::MonthIncorrect, false, RangeField::Month},
        {{}, {"2023", "2", "29"}, res::Msg::DayIncorrect, true, RangeField::Day},
        {{"2024", "5", ""}, {"2024", "4", ""}, res::Msg::StartAfterEnd, false, RangeField::Year},
    };
    for (const Case& c : cases) {
        RangeCheck r = CheckRange(c.from, c.to);
        ASSERT_TRUE(r.error);
        EXPECT_EQ(*r.error, c.msg);
        EXPECT_EQ(r.errorInEnd, c.inEnd);
        EXPECT_EQ(r.field, c.field);
    }
}

TEST(FolderChecks, TrimsAndRequiresAnExistingFolder) {
    tl::testing::TempDir dir;
    FolderCheck c = CheckFolder("  " + dir.path().string() + "///  ");
    EXPECT_FALSE(c.error);
    EXPECT_EQ(c.folder, dir.path().string());
    EXPECT_EQ(c.display(), dir.path().string() + "/");
    EXPECT_EQ(CheckFolder("   ").error, res::Msg::SpecifyFolderName);
    EXPECT_EQ(CheckFolder((dir.path() / "missing").string()).error, res::Msg::FolderNameIncorrect);
}

TEST(FolderHistory, MovesAKnownFolderForwardAndDropsTheOldest) {
    FolderHistory h{"a", "b", "c", "d", "e"};
    RememberFolder(h, "c");
    EXPECT_EQ(h, (FolderHistory{"c", "a", "b", "d", "e"}));
    RememberFolder(h, "f");
    EXPECT_EQ(h, (FolderHistory{"f", "c", "a", "b", "d"}));
    FolderHistory empty{};
    RememberFolder(empty, "x");
    EXPECT_EQ(empty, (FolderHistory{"x", "", "", "", ""}));
}

TEST(ExchangeTexts, SummariesAndTheMergeQuestion) {
    EXPECT_EQ(ExportQuestion(3, 0),
              "Diaries:3\n\nwill be exported.\n\nAre you sure you want to start the export?");
    EXPECT_EQ(ImportQuestion(0, 2),
              "Attached files:2\nwill be imported.\n\nDo you want to start import?");
    EXPECT_EQ(GroupedNumber(1234567), "1,234,567");
    EXPECT_EQ(GroupedNumber(999), "999");
    const std::string q = MergeQuestion(1500, 2);
    EXPECT_NE(
        q.find("The number of the merged diary:  1,500\nThe number of the merged attachments:  2"),
        std::string::npos);
    EXPECT_EQ(MergeQuestion(5, 0).find("attachments:"), std::string::npos);
}

}  // namespace
}  // namespace tl::exchange
