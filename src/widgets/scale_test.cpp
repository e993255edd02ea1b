#include "widgets/scale.h"

#include <gtest/gtest.h>

namespace tl::widgets {
namespace {

TEST(ScaleTest, TruncatesLikeTheDesignedFormula) {
    EXPECT_EQ(ScaleAt(23, 96), 23);
    EXPECT_EQ(ScaleAt(23, 192), 46);
    EXPECT_EQ(ScaleAt(23, 120), 28);  // 28.75 truncated
    EXPECT_EQ(ScaleAt(29, 144), 43);
    // The percentage is truncated before the final division: 7 at 97 dpi is
    // 707 / 100 = 7, not 7.07 rounded.
    EXPECT_EQ(ScaleAt(7, 97), 7);
    EXPECT_EQ(ScaleAt(0, 144), 0);
}

}  // namespace
}  // namespace tl::widgets
