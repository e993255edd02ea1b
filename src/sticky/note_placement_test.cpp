#include "note_placement.h"

#include <gtest/gtest.h>

namespace tl::sticky {
namespace {

const EdgeArea kArea{100, 50, 900, 350};  // 300 high, middle at x = 500

TEST(NotePlacement, NotesStickOutOfTheirEdgeAtTheirOffset) {
    EXPECT_EQ(PlaceNote(kArea, NoteSide::Left, 30, 60, 20), (NotePoint{40, 80}));
    EXPECT_EQ(PlaceNote(kArea, NoteSide::Right, 30, 60, 20), (NotePoint{900, 80}));
    EXPECT_EQ(PlaceNote(kArea, NoteSide::Right, 0, 60, 20), (NotePoint{900, 50}));
}

TEST(NotePlacement, ANotePastTheWindowsHeightIsPulledUpAndReturnsWhenItGrows) {
    // Offset 500 on an area 300 high, note 40 high: its bottom meets the
    // area's bottom.
    EXPECT_EQ(PlaceNote(kArea, NoteSide::Left, 500, 60, 40).y, kArea.top + 260);
    EdgeArea taller = kArea;
    taller.bottom = kArea.top + 800;
    EXPECT_EQ(PlaceNote(taller, NoteSide::Left, 500, 60, 40).y, kArea.top + 500);
    // Exactly fitting stays where it is.
    EXPECT_EQ(PlaceNote(kArea, NoteSide::Left, 260, 60, 40).y, kArea.top + 260);
    // Taller than the area: at its top.
    EXPECT_EQ(PlaceNote(kArea, NoteSide::Right, 100, 60, 400).y, kArea.top);
    // Offsets of a damaged record.
    EXPECT_EQ(PlaceNote(kArea, NoteSide::Left, 2147483647, 60, 40).y, kArea.top + 260);
    EXPECT_EQ(PlaceNote(kArea, NoteSide::Left, -2147483647 - 1, 60, 40).y, kArea.top);
}

TEST(NotePlacement, NewNotesGoRightWhenTheLeftEdgeHasNoRoom) {
    EXPECT_EQ(NewNoteSide(200, 0), NoteSide::Left);
    EXPECT_EQ(NewNoteSide(1, 0), NoteSide::Left);
    EXPECT_EQ(NewNoteSide(0, 0), NoteSide::Right);   // touching the screen's edge
    EXPECT_EQ(NewNoteSide(-8, 0), NoteSide::Right);  // maximised
    // A screen left of the window's one leaves room.
    EXPECT_EQ(NewNoteSide(0, -1920), NoteSide::Left);
}

TEST(NoteDrag, FollowsTheCursorAlongTheEdgeWithinTheArea) {
    // Grabbed 5 pixels below the note's top.
    NoteDrag drag(kArea, NoteSide::Left, 80, 85);
    NoteDrag::Step s = drag.move(60, 125, 60, 20);
    EXPECT_EQ(s.at, (NotePoint{40, 120}));
    EXPECT_EQ(s.offset, 70);
    EXPECT_FALSE(s.sideChanged);
    // Above the area: held at its top; below: its bottom at the area's.
    EXPECT_EQ(drag.move(60, 0, 60, 20).offset, 0);
    s = drag.move(60, 2000, 60, 20);
    EXPECT_EQ(s.at.y, 330);
    EXPECT_EQ(s.offset, 280);
}

TEST(NoteDrag, CrossingTheMiddleMovesTheNoteToTheOtherEdgeAtOnce) {
    NoteDrag drag(kArea, NoteSide::Left, 80, 85);
    NoteDrag::Step s = drag.move(499, 85, 60, 20);
    EXPECT_EQ(s.side, NoteSide::Left);
    EXPECT_FALSE(s.sideChanged);
    s = drag.move(500, 85, 60, 20);
    EXPECT_EQ(s.side, NoteSide::Right);
    EXPECT_TRUE(s.sideChanged);
    EXPECT_EQ(s.at.x, kArea.right);
    EXPECT_FALSE(drag.move(700, 90, 60, 20).sideChanged);
    s = drag.move(120, 90, 60, 20);
    EXPECT_TRUE(s.sideChanged);
    EXPECT_EQ(s.at.x, kArea.left - 60);
}

TEST(NoteDrag, KeyboardStepsStartFromWhereTheNoteIsShown) {
    // Stored at 500 but shown at 260 in an area 300 high.
    EXPECT_EQ(NudgedOffset(kArea, 500, 40, -10), 250);
    EXPECT_EQ(NudgedOffset(kArea, 10, 40, -50), 0);
    EXPECT_EQ(NudgedOffset(kArea, 250, 40, 50), 260);
}

TEST(NoteAlpha, RatesGiveTheDesignedAlphaTable) {
    const int expected[] = {255, 229, 204, 178, 153, 127, 102, 76, 51, 25, 0};
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(NoteAlpha(true, true, i * 10, 0), expected[i]) << i * 10;
        EXPECT_EQ(NoteAlpha(true, false, 0, i * 10), expected[i]) << i * 10;
    }
    // A note's own rate of 40 counts only while each note has its own.
    EXPECT_EQ(NoteAlpha(true, false, 10, 40), 153);
    EXPECT_EQ(NoteAlpha(true, true, 10, 40), 229);
    EXPECT_EQ(NoteAlpha(false, false, 10, 40), 255);
    // Rates beyond the dialogs' range from a damaged record stay in range.
    EXPECT_EQ(NoteAlpha(true, false, 0, 255), 0);
}

}  // namespace
}  // namespace tl::sticky
