#include "strip_layout.h"

#include <gtest/gtest.h>

namespace tl::diary {
namespace {

using Indices = std::vector<std::size_t>;

TEST(StripGeometryTest, SlotsAndHitsAtTwoResolutions) {
    const StripGeometry g(96);
    EXPECT_EQ(g.slotLeft(0), 10);
    EXPECT_EQ(g.slotLeft(3), 10 + 3 * 74);
    EXPECT_EQ(g.contentWidth(5), 74 * 5 + 10);
    EXPECT_EQ(g.stripHeight(), 56);
    EXPECT_EQ(g.slotAt(10, 4, 2), 0u);
    EXPECT_EQ(g.slotAt(73, 50, 2), 0u);
    EXPECT_EQ(g.slotAt(74, 20, 2), std::nullopt) << "the gap between slots";
    EXPECT_EQ(g.slotAt(84, 20, 2), 1u);
    EXPECT_EQ(g.slotAt(84 + 74, 20, 2), std::nullopt) << "past the last slot";
    EXPECT_EQ(g.slotAt(20, 3, 2), std::nullopt);
    EXPECT_EQ(g.slotAt(20, 51, 2), std::nullopt);
    EXPECT_EQ(g.slotAt(5, 20, 2), std::nullopt);

    const StripGeometry big(192);
    EXPECT_EQ(big.slotLeft(1), 20 + 148);
    EXPECT_EQ(big.slotAt(20 + 148 + 127, 100, 3), 1u);
    EXPECT_EQ(big.stripHeight(), 112);
}

TEST(StripGeometryTest, BandAndScrolling) {
    const StripGeometry g(96);
    EXPECT_EQ(g.slotsInBand(200, 40, 60, 10, 10), (Indices{0, 1, 2}));
    EXPECT_EQ(g.slotsInBand(75, 0, 83, 60, 10), Indices{}) << "only the gap";
    EXPECT_EQ(g.slotsInBand(0, 52, 800, 55, 10), Indices{}) << "below the pictures";
    EXPECT_EQ(g.slotsInBand(0, 0, 10000, 60, 3), (Indices{0, 1, 2}));
    // A view 200 wide: slot 4 (x 306-370) needs scrolling right, slot 0
    // back left; a visible slot leaves the offset alone.
    EXPECT_EQ(g.scrollToShow(4, 200, 0), 375 - 200);
    EXPECT_EQ(g.scrollToShow(0, 200, 175), 5);
    EXPECT_EQ(g.scrollToShow(3, 200, 175), 175);
}

TEST(StripSelectionTest, ClicksWithCtrlAndShift) {
    StripSelection s;
    s.resize(6);
    bool was = s.press(1, false, false);
    s.click(1, false, false, was);
    EXPECT_EQ(s.selected(), Indices{1});
    // Ctrl adds at once, and a click that does not move keeps it.
    was = s.press(3, true, false);
    EXPECT_EQ(s.selected(), (Indices{1, 3}));
    s.click(3, true, false, was);
    EXPECT_EQ(s.selected(), (Indices{1, 3}));
    // Ctrl-click on a selected slot without moving unselects it.
    was = s.press(1, true, false);
    EXPECT_EQ(s.selected(), (Indices{1, 3})) << "kept while a drag may start";
    s.click(1, true, false, was);
    EXPECT_EQ(s.selected(), Indices{3});
    EXPECT_EQ(s.anchor(), 1);
    // Shift selects the range from the anchor, which stays.
    was = s.press(4, false, true);
    s.click(4, false, true, was);
    EXPECT_EQ(s.selected(), (Indices{1, 2, 3, 4}));
    EXPECT_EQ(s.anchor(), 1);
    // A plain press on a selected slot keeps the group for a drag; the
    // click without moving then leaves it alone.
    was = s.press(2, false, false);
    EXPECT_EQ(s.selectedCount(), 4u);
    s.click(2, false, false, was);
    EXPECT_EQ(s.selected(), Indices{2});
    // Shift without an anchor selects just the slot.
    StripSelection fresh;
    fresh.resize(3);
    fresh.press(2, false, true);
    EXPECT_EQ(fresh.selected(), Indices{2});
    EXPECT_EQ(fresh.anchor(), 2);
}

TEST(StripSelectionTest, KeysRightButtonAndChangesOfTheArray) {
    StripSelection s;
    s.resize(5);
    s.step(+1, false);
    EXPECT_EQ(s.selected(), Indices{0}) << "no anchor: the first slot";
    s.step(+1, false);
    s.step(+1, true);
    s.step(+1, true);
    EXPECT_EQ(s.selected(), (Indices{1, 2, 3}));
    s.step(-1, true);
    s.step(-1, true);
    s.step(-1, true);
    EXPECT_EQ(s.selected(), (Indices{0, 1})) << "the range keeps its start";
    s.step(-1, false);
    EXPECT_EQ(s.selected(), Indices{0}) << "not beyond the first";
    s.moveTo(4, false);
    s.step(+1, false);
    EXPECT_EQ(s.anchor(), 4);

    s.selectAll();
    s.pressRight(2);
    EXPECT_EQ(s.selectedCount(), 5u) << "a selected slot keeps the selection";
    s.clear();
    s.pressRight(3);
    EXPECT_EQ(s.selected(), Indices{3});

    s.erase(1);
    EXPECT_EQ(s.selected(), Indices{2}) << "flags move with their slots";
    EXPECT_EQ(s.anchor(), 2);
    s.erase(3);
    s.erase(2);
    EXPECT_EQ(s.anchor(), 1) << "kept within the array";
    s.resize(0);
    EXPECT_EQ(s.anchor(), -1);
    s.step(+1, false);
    EXPECT_EQ(s.size(), 0u);
}

}  // namespace
}  // namespace tl::diary
