#include "color_pick_layout.h"

#include <gtest/gtest.h>

namespace tl::frame {
namespace {

TEST(ColorPickLayoutTest, ItemsLieWhereDesignedAndScale) {
    const ColorPickLayout at96(96);
    EXPECT_EQ(at96.width(), 115);
    EXPECT_EQ(at96.height(), 136);
    EXPECT_EQ(at96.itemRect(kAutoItem), (widgets::Rect{7, 4, 108, 24}));
    EXPECT_EQ(at96.itemRect(1), (widgets::Rect{7, 32, 27, 52}));
    EXPECT_EQ(at96.itemRect(5), (widgets::Rect{87, 32, 107, 52}));
    EXPECT_EQ(at96.itemRect(6), (widgets::Rect{7, 58, 27, 78}));
    EXPECT_EQ(at96.itemRect(15), (widgets::Rect{87, 84, 107, 104}));
    EXPECT_EQ(at96.itemRect(kOtherItem), (widgets::Rect{7, 112, 108, 132}));
    const ColorPickLayout at192(192);
    EXPECT_EQ(at192.itemRect(15), (widgets::Rect{174, 168, 214, 208}));
    EXPECT_EQ(at192.width(), 230);
}

TEST(ColorPickLayoutTest, HitTestFindsTheItemOrNone) {
    const ColorPickLayout layout(96);
    EXPECT_EQ(layout.hitTest(50, 10), kAutoItem);
    EXPECT_EQ(layout.hitTest(8, 33), 1);
    EXPECT_EQ(layout.hitTest(106, 103), 15);
    EXPECT_EQ(layout.hitTest(50, 120), kOtherItem);
    EXPECT_EQ(layout.hitTest(50, 27), -1);  // on the separator
    EXPECT_EQ(layout.hitTest(110, 40), -1);
    EXPECT_EQ(SwatchColor(1), 0x0000FFu);  // red, as 0x00BBGGRR
    EXPECT_EQ(SwatchColor(7), 0xFF0000u);  // blue
    EXPECT_EQ(SwatchColor(15), 0xFFFFFFu);
}

TEST(ColorPickLayoutTest, ArrowKeysWalkTheGridAndTheTwoTextItems) {
    EXPECT_EQ(MovePick(-1, PickMove::Down), kAutoItem);
    EXPECT_EQ(MovePick(kAutoItem, PickMove::Down), 1);
    EXPECT_EQ(MovePick(1, PickMove::Right), 2);
    EXPECT_EQ(MovePick(5, PickMove::Right), 5);
    EXPECT_EQ(MovePick(1, PickMove::Left), 1);
    EXPECT_EQ(MovePick(3, PickMove::Down), 8);
    EXPECT_EQ(MovePick(13, PickMove::Down), kOtherItem);
    EXPECT_EQ(MovePick(kOtherItem, PickMove::Up), 11);
    EXPECT_EQ(MovePick(4, PickMove::Up), kAutoItem);
    EXPECT_EQ(MovePick(kAutoItem, PickMove::Up), kAutoItem);
    EXPECT_EQ(MovePick(kOtherItem, PickMove::Down), kOtherItem);
}

}  // namespace
}  // namespace tl::frame
