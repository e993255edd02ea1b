#include "year_month_checks.h"

#include <gtest/gtest.h>

namespace tl::calendar {
namespace {

TEST(YearMonthChecksTest, YearBelow1900IsRefusedAnd1900IsAccepted) {
    const YearMonthCheck low = checkYearMonth(u"1899", u"1");
    EXPECT_EQ(low.error, res::Msg::Specify1900OrLater);
    EXPECT_EQ(low.field, YearMonthField::Year);
    const YearMonthCheck ok = checkYearMonth(u"1900", u"1");
    EXPECT_FALSE(ok.error);
    EXPECT_EQ(ok.year, 1900);
    EXPECT_EQ(ok.month, 1);
}

TEST(YearMonthChecksTest, EmptyFieldsAreNamedYearFirst) {
    const YearMonthCheck both = checkYearMonth(u"", u"");
    EXPECT_EQ(both.error, res::Msg::EnterYear);
    EXPECT_EQ(both.field, YearMonthField::Year);
    const YearMonthCheck noMonth = checkYearMonth(u"2024", u"");
    EXPECT_EQ(noMonth.error, res::Msg::EnterMonth);
    EXPECT_EQ(noMonth.field, YearMonthField::Month);
    // The year's range is checked before the month is looked at.
    EXPECT_EQ(checkYearMonth(u"1000", u"").error, res::Msg::Specify1900OrLater);
}

TEST(YearMonthChecksTest, MonthOutsideOneToTwelveIsIncorrect) {
    for (const char16_t* month : {u"0", u"13", u"x"}) {
        const YearMonthCheck c = checkYearMonth(u"2024", month);
        EXPECT_EQ(c.error, res::Msg::MonthIncorrect);
        EXPECT_EQ(c.field, YearMonthField::Month);
    }
    const YearMonthCheck dec = checkYearMonth(u"9999", u"12");
    EXPECT_FALSE(dec.error);
    EXPECT_EQ(dec.year, 9999);
    EXPECT_EQ(dec.month, 12);
}

TEST(YearMonthChecksTest, YearTextReadsUpToItsFirstNonDigit) {
    EXPECT_EQ(checkYearMonth(u"20a4", u"5").error, res::Msg::Specify1900OrLater);
    EXPECT_EQ(checkYearMonth(u"abcd", u"5").error, res::Msg::Specify1900OrLater);
    const YearMonthCheck zeros = checkYearMonth(u"02024", u"03");
    EXPECT_FALSE(zeros.error);
    EXPECT_EQ(zeros.year, 2024);
    EXPECT_EQ(zeros.month, 3);
}

TEST(YearMonthChecksTest, MessagesAreWordedExactly) {
    EXPECT_EQ(res::Text(checkYearMonth(u"", u"1").error.value()), "Enter year.");
    EXPECT_EQ(res::Text(checkYearMonth(u"1899", u"1").error.value()), "Specify 1900 or later.");
    EXPECT_EQ(res::Text(checkYearMonth(u"2000", u"").error.value()), "Enter month.");
    EXPECT_EQ(res::Text(checkYearMonth(u"2000", u"13").error.value()), "Month is incorrect.");
}

TEST(YearMonthChecksTest, FieldTextHasNoLeadingZerosAndNoMonthIsEmpty) {
    EXPECT_EQ(yearMonthFieldText(2024), u"2024");
    EXPECT_EQ(yearMonthFieldText(3), u"3");
    EXPECT_EQ(yearMonthFieldText(0), u"");
}

}  // namespace
}  // namespace tl::calendar
