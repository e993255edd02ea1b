#include "widgets/color.h"

#include <gtest/gtest.h>

namespace tl::widgets {
namespace {

TEST(ColorTest, RedIsTheLowByte) {
    EXPECT_EQ(Rgb(0x12, 0x34, 0x56), 0x00563412u);
    EXPECT_EQ(Rgb(255, 0, 0), 0x000000FFu);
    EXPECT_EQ(Rgb(0, 0, 255), 0x00FF0000u);
}

TEST(ColorTest, InvertingFlipsEveryChannelAndLeavesTheTopByteClear) {
    EXPECT_EQ(InvertedColor(0x00102030), 0x00EFDFCFu);
    EXPECT_EQ(InvertedColor(Rgb(255, 255, 255)), 0u);
    EXPECT_EQ(InvertedColor(InvertedColor(0x00ABCDEF)), 0x00ABCDEFu);
}

}  // namespace
}  // namespace tl::widgets
