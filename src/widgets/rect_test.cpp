#include "widgets/rect.h"

#include <gtest/gtest.h>

namespace tl::widgets {
namespace {

TEST(RectTest, RightAndBottomAreExclusive) {
    const Rect r{10, 20, 30, 25};
    EXPECT_EQ(r.width(), 20);
    EXPECT_EQ(r.height(), 5);
    EXPECT_TRUE(r.contains(10, 20));
    EXPECT_TRUE(r.contains(29, 24));
    EXPECT_FALSE(r.contains(30, 24));
    EXPECT_FALSE(r.contains(29, 25));
    EXPECT_FALSE(r.contains(9, 20));
    EXPECT_FALSE(Rect{}.contains(0, 0));  // an empty rectangle holds no point
}

}  // namespace
}  // namespace tl::widgets
