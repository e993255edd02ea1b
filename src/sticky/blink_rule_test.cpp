#include "blink_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "blink_round.h"

namespace tl::sticky {
namespace {

TEST(BlinkPhase, KindsHideOrInvertInTheOffPhase) {
    BlinkPhase none;
    EXPECT_FALSE(none.tick(false));
    EXPECT_FALSE(none.textHidden());

    BlinkPhase text;
    text.setKind(1);
    EXPECT_TRUE(text.tick(false));  // phase set: text hidden
    EXPECT_TRUE(text.textHidden());
    EXPECT_FALSE(text.inverted());
    EXPECT_FALSE(text.tick(false));  // no change, no repaint
    EXPECT_TRUE(text.tick(true));
    EXPECT_FALSE(text.textHidden());

    BlinkPhase both;
    both.setKind(2);
    both.tick(false);
    EXPECT_TRUE(both.inverted());
    both.setKind(2);  // a new kind starts in the visible phase
    EXPECT_FALSE(both.inverted());
}

TEST(BlinkPhase, ShowsWhiteBehindTheTextWithoutABackgroundAndInvertsBoth) {
    BlinkPhase blink;
    blink.setKind(2);
    BlinkPhase::Colors shown = blink.shownColors(0x000000FF, false, 0x00123456);
    EXPECT_EQ(shown.background, 0x00FFFFFFu);  // no background on: white
    EXPECT_EQ(shown.text, 0x000000FFu);
    EXPECT_EQ(blink.shownColors(0x000000FF, true, 0x00123456).background, 0x00123456u);

    blink.tick(false);  // the inverted phase
    shown = blink.shownColors(0x000000FF, false, 0x00123456);
    EXPECT_EQ(shown.background, 0u);  // white inverted
    EXPECT_EQ(shown.text, 0x00FFFF00u);
    EXPECT_EQ(blink.shownColors(0x000000FF, true, 0x00102030).background, 0x00EFDFCFu);

    // Hiding the text (kind 1) leaves the colours as they are.
    BlinkPhase text;
    text.setKind(1);
    text.tick(false);
    EXPECT_EQ(text.shownColors(0x000000FF, true, 0x00123456).text, 0x000000FFu);
}

TEST(BlinkPhase, OutsideItsTermAnElementStaysStillAndIsRepaintedOnceWhenItLeavesIt) {
    BlinkPhase note;
    note.setKind(2);
    EXPECT_FALSE(note.tick(false, false));
    EXPECT_FALSE(note.inverted());
    EXPECT_TRUE(note.tick(false, true));
    EXPECT_TRUE(note.inverted());
    // The day changed while the note was inverted: it is drawn normally again.
    EXPECT_TRUE(note.tick(false, false));
    EXPECT_FALSE(note.inverted());
    EXPECT_FALSE(note.tick(true, false));
}

// With a 500 ms interval every round is one interval: a kind 2 element is
// inverted for one round and normal for the next.
TEST(BlinkRound, CallsEveryTargetInOrderWithThePhaseThenFlipsIt) {
    BlinkRound round;
    std::vector<std::string> calls;
    const auto target = [&calls](std::string name) {
        return [&calls, name](bool phaseOn) { calls.push_back(name + (phaseOn ? "+" : "-")); };
    };
    // Set out of order; a round follows the fixed order, not this one.
    round.set(BlinkTarget::StickyNotes, target("notes"));
    round.set(BlinkTarget::Calendar, target("calendar"));
    round.set(BlinkTarget::DayList, target("list"));
    round.set(BlinkTarget::HeaderViews, target("headers"));
    round.set(BlinkTarget::TitleColorDialog, target("title dialog"));
    round.set(BlinkTarget::StickyColorDialog, target("note colours"));
    round.set(BlinkTarget::StickySettingsDialog, target("note settings"));
    EXPECT_TRUE(round.phaseOn());
    round.tick();
    EXPECT_EQ(calls,
              (std::vector<std::string>{"list+", "title dialog+", "note settings+", "note colours+",
                                        "calendar+", "headers+", "notes+"}));
    calls.clear();
    round.set(BlinkTarget::StickySettingsDialog, {});  // the dialog closed
    round.tick();
    EXPECT_EQ(calls, (std::vector<std::string>{"list-", "title dialog-", "note colours-",
                                               "calendar-", "headers-", "notes-"}));

    BlinkRound alone;
    BlinkPhase title;
    title.setKind(2);
    alone.set(BlinkTarget::HeaderViews, [&title](bool phaseOn) { title.tick(phaseOn); });
    std::vector<bool> inverted;
    for (int i = 0; i < 4; ++i) {
        alone.tick();
        inverted.push_back(title.inverted());
    }
    EXPECT_EQ(inverted, (std::vector<bool>{false, true, false, true}));
}

}  // namespace
}  // namespace tl::sticky
