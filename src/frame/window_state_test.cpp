#include "window_state.h"

#include <gtest/gtest.h>

namespace tl::frame {

using widgets::Rect;

namespace {

TEST(ShowStateTest, StoredTextsRoundTripAndOthersAreIgnored) {
    for (ShowState state : {ShowState::Normal, ShowState::Minimized, ShowState::Maximized})
        EXPECT_EQ(ParseShowState(ShowStateText(state)), state);
    EXPECT_FALSE(ParseShowState("maximize"));  // exact comparison
    EXPECT_FALSE(ParseShowState("MAXIMIZED"));
    EXPECT_FALSE(ParseShowState(""));
}

const std::vector<Rect> kTwoScreens = {{0, 0, 1920, 1040}, {1920, 0, 3200, 1024}};

TEST(RestoredRectTest, RectangleOnAnyScreenIsKept) {
    const Rect onSecond{2000, 100, 2800, 700};
    EXPECT_EQ(PlaceRestoredRect(onSecond, kTwoScreens), onSecond);
    // Partly off the edge but still grabbable.
    const Rect overEdge{-200, 50, 600, 650};
    EXPECT_EQ(PlaceRestoredRect(overEdge, kTwoScreens), overEdge);
}

TEST(RestoredRectTest, RectangleOfARemovedScreenMovesOntoThePrimary) {
    const Rect placed = PlaceRestoredRect({4000, 100, 4800, 700}, kTwoScreens);
    EXPECT_EQ(placed.width(), 800);
    EXPECT_EQ(placed.height(), 600);
    EXPECT_GE(placed.left, 0);
    EXPECT_LE(placed.right, 1920);
}

TEST(RestoredRectTest, OversizedAndTinyRectanglesAreMadeUsable) {
    const Rect huge = PlaceRestoredRect({-5000, -5000, 9000, 9000}, kTwoScreens);
    EXPECT_EQ(huge, (Rect{0, 0, 1920, 1040}));
    const Rect tiny = PlaceRestoredRect({100, 100, 100, 100}, kTwoScreens);
    EXPECT_EQ(tiny.width(), kMinWindowWidth);
    EXPECT_EQ(tiny.height(), kMinWindowHeight);
    // A title bar above the screen cannot be grabbed.
    const Rect above = PlaceRestoredRect({100, -300, 900, 200}, kTwoScreens);
    EXPECT_GE(above.top, 0);
}

}  // namespace
}  // namespace tl::frame
