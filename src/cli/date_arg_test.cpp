#include "date_arg.h"

#include <gtest/gtest.h>

namespace tl::cli {
namespace {

TEST(RangeKey, DatesBecomeKeysAndShortDatesCoverTheirPeriodAtTheEnd) {
    EXPECT_EQ(RangeKey("2024-03-05", RangeEnd::First), "20240305");
    EXPECT_EQ(RangeKey("2024-03-05", RangeEnd::Last), "20240305");
    EXPECT_EQ(RangeKey("2024-03", RangeEnd::First), "20240300");
    EXPECT_EQ(RangeKey("2024-03", RangeEnd::Last), "20240399");
    EXPECT_EQ(RangeKey("2024", RangeEnd::First), "20240000");
    EXPECT_EQ(RangeKey("2024", RangeEnd::Last), "20249999");
    EXPECT_EQ(RangeKey("20240300", RangeEnd::Last), "20240300");
}

TEST(RangeKey, MalformedDatesAreRefused) {
    for (const char* bad : {"", "24", "2024-3", "2024-13", "2024-00", "2024-03-32", "2024-03-00",
                            "2024/03/05", "abcd", "2024-03-05x", "2024030"})
        EXPECT_FALSE(RangeKey(bad, RangeEnd::First)) << bad;
}

TEST(ParseDate, DaysMonthNotesAndYearNotesAndNothingElse) {
    EXPECT_EQ(ParseDate("2024-02-29"), (store::Date{2024, 2, 29}));
    EXPECT_EQ(ParseDate("2024-03"), (store::Date{2024, 3, 0}));
    EXPECT_EQ(ParseDate("2024"), (store::Date{2024, 0, 0}));
    for (const char* bad : {"2023-02-29", "2024-04-31", "1899", "20240305", "2024-3-5", ""})
        EXPECT_FALSE(ParseDate(bad)) << bad;
    for (const char* text : {"2024-02-29", "2024-03", "2024", "9999-12-31"})
        EXPECT_EQ(store::DateText(*ParseDate(text)), text);
}

}  // namespace
}  // namespace tl::cli
