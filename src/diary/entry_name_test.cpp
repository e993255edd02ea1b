#include "entry_name.h"

#include <gtest/gtest.h>

#include "date_checks.h"
#include "editor_texts.h"

namespace tl::diary {
namespace {

using store::Date;

TEST(EntryName, KindsRoundTripThroughTheirNames) {
    EXPECT_EQ(EntryName(Date{2026, 12, 8}), u"12-08-2026(Tue)");
    EXPECT_EQ(EntryName(Date{2026, 12, 0}), u"12-2026");
    EXPECT_EQ(EntryName(Date{2026, 0, 0}), u"2026");
    EXPECT_EQ(EntryName(Date{2026, 3, 1}), u"03-01-2026(Sun)");
    for (Date d : {Date{2026, 12, 8}, Date{2026, 12, 0}, Date{2026, 0, 0}, Date{2024, 2, 29},
                   Date{1900, 1, 1}})
        EXPECT_EQ(ParseEntryName(EntryName(d)), d);
}

TEST(EntryName, ParsingRefusesDatesThatDoNotExist) {
    EXPECT_FALSE(ParseEntryName(u"02-29-2023(Wed)"));
    EXPECT_TRUE(ParseEntryName(u"02-29-2024(Thu)"));
    EXPECT_FALSE(ParseEntryName(u"04-31-2026"));
    EXPECT_FALSE(ParseEntryName(u"13-2026"));
    EXPECT_FALSE(ParseEntryName(u"1899"));
    EXPECT_FALSE(ParseEntryName(u""));
    EXPECT_FALSE(ParseEntryName(u"ab-cd"));
    EXPECT_FALSE(IsValidEntryDate(Date{2026, 0, 5}));  // a day needs a month
}

// Turning the day of the week on adds it to days only (a renamed tab of
// save-as carries none); turning it off drops it from every tab.
TEST(EntryName, RetitledTabsGainOrLoseTheWeekday) {
    EXPECT_EQ(RetitledTab(u"12-08-2026", {2026, 12, 8}, true), u"12-08-2026(Tue)");
    EXPECT_EQ(RetitledTab(u"12-08-2026(Tue)", {2026, 12, 8}, true), u"12-08-2026(Tue)");
    EXPECT_EQ(RetitledTab(u"12-2026", {2026, 12, 0}, true), u"12-2026");
    EXPECT_EQ(RetitledTab(u"2026", {2026, 0, 0}, true), u"2026");
    EXPECT_EQ(RetitledTab(u"12-08-2026(Tue)", {2026, 12, 8}, false), u"12-08-2026");
    EXPECT_EQ(RetitledTab(u"12-2026", {2026, 12, 0}, false), u"12-2026");
}

TEST(EntryName, TabNamesDropTheWeekdayUnlessAsked) {
    EXPECT_EQ(TabName(u"12-08-2026(Tue)", false), u"12-08-2026");
    EXPECT_EQ(TabName(u"12-08-2026(Tue)", true), u"12-08-2026(Tue)");
    EXPECT_EQ(TabName(u"12-2026", false), u"12-2026");
}

TEST(DateChecks, SaveAsReportsTheFirstFaultInOrder) {
    auto check = [](std::u16string_view y, std::u16string_view m, std::u16string_view d) {
        return CheckEntryDate(y, m, d, true, true);
    };
    EXPECT_EQ(check(u"", u"", u"").error, res::Msg::EnterYear);
    EXPECT_EQ(check(u"1899", u"", u"").error, res::Msg::Specify1900OrLater);
    EXPECT_EQ(check(u"2026", u"", u"1").field, DateField::Month);
    EXPECT_EQ(check(u"2026", u"", u"1").error, res::Msg::EnterMonth);
    EXPECT_EQ(check(u"2026", u"13", u"1").error, res::Msg::MonthIncorrect);
    EXPECT_EQ(check(u"2026", u"4", u"").error, res::Msg::EnterDay);
    auto day31 = check(u"2026", u"4", u"31");
    EXPECT_EQ(day31.error, res::Msg::DayIncorrect);
    EXPECT_EQ(day31.field, DateField::Day);
    EXPECT_EQ(check(u"2023", u"2", u"29").error, res::Msg::DayIncorrect);
    auto leap = check(u"2024", u"2", u"29");
    EXPECT_FALSE(leap.error);
    EXPECT_EQ(leap.date, (Date{2024, 2, 29}));
    // A month note ignores the day field, a year note the month too.
    EXPECT_EQ(CheckEntryDate(u"2026", u"5", u"", true, false).date, (Date{2026, 5, 0}));
    EXPECT_EQ(CheckEntryDate(u"2026", u"", u"", false, false).date, (Date{2026, 0, 0}));
}

TEST(DateChecks, OpenDialogOpensNotesForEmptyFields) {
    EXPECT_EQ(CheckOpenDate(u"2026", u"", u"").date, (Date{2026, 0, 0}));
    EXPECT_EQ(CheckOpenDate(u"2026", u"7", u"").date, (Date{2026, 7, 0}));
    EXPECT_EQ(CheckOpenDate(u"2026", u"", u"3").error, res::Msg::EnterMonth);
    EXPECT_EQ(CheckOpenDate(u"", u"", u"3").error, res::Msg::EnterYear);
    EXPECT_EQ(CheckOpenDate(u"2026", u"7", u"32").error, res::Msg::DayIncorrect);
}

TEST(EditorTexts, BordersFollowTheSeparatorSettings) {
    EXPECT_EQ(BorderText(false, true, true), u"\n" + std::u16string(30, u'-') + u"\n\n");
    EXPECT_EQ(BorderText(false, false, false), std::u16string(30, u'-') + u"\n");
    EXPECT_EQ(BorderText(true, false, true), std::u16string(15, u'-') + u"\n\n");
}

TEST(EditorTexts, StampUsesTheTwelveHourClock) {
    EXPECT_EQ(StampText(2026, 3, 1, 13, 7), u"Sunday, March 01, 2026 at 01:07 PM");
    EXPECT_EQ(StampText(2026, 3, 1, 12, 5), u"Sunday, March 01, 2026 at 12:05 PM");
    EXPECT_EQ(StampText(2026, 3, 1, 0, 5), u"Sunday, March 01, 2026 at 12:05 AM");
    EXPECT_EQ(StampText(2026, 12, 31, 11, 59), u"Thursday, December 31, 2026 at 11:59 AM");
}

TEST(EditorTexts, SearchEncodesEveryByteAndRefusesLongSelections) {
    EXPECT_EQ(SearchUrl(SearchEngine::Google, u"a b"), "https://www.google.com/search?q=%61%20%62");
    EXPECT_EQ(SearchUrl(SearchEngine::Yahoo, u"\u00e9"),
              "https://search.yahoo.com/search?p=%C3%A9");
    EXPECT_EQ(SearchUrl(SearchEngine::Bing, u"\U0001F600"),
              "https://www.bing.com/search?q=%F0%9F%98%80");
    EXPECT_TRUE(SearchUrl(SearchEngine::Google, std::u16string(100, u'x')));
    EXPECT_FALSE(SearchUrl(SearchEngine::Google, std::u16string(101, u'x')));
}

TEST(EditorTexts, LineBreaksConvertBothWays) {
    EXPECT_EQ(ToCrLf(u"a\nb\u2029c"), u"a\r\nb\r\nc");
    EXPECT_EQ(FromCrLf(u"a\r\nb\rc\nd"), u"a\nb\nc\nd");
}

}  // namespace
}  // namespace tl::diary
