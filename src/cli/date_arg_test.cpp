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
    for (const char* bad : {"", "24", "2024-3", "2024-13", "2024-00", "2024-03-32", "2024-03-00", "2024/03/05",
                            "abcd", "2024-03-05x", "2024030"})
        EXPECT_FALSE(RangeKey(bad, RangeEnd::First)) << bad;
}

}  // namespace
}  // namespace tl::cli
