#include "note_checks.h"

#include <gtest/gtest.h>

#include "new_note.h"

namespace tl::sticky {
namespace {

using store::Date;

TEST(NoteSettingsCheck, TextMustBeGivenAndShort) {
    EXPECT_EQ(CheckNoteSettings(u"", u"0").error, res::Msg::StickyTextEmpty);
    // A 30-character title shown in full is refused until shortened.
    const NoteSettingsCheck long30 = CheckNoteSettings(std::u16string(30, u'x'), u"0");
    EXPECT_EQ(long30.error, res::Msg::StickyTextTooLong);
    EXPECT_EQ(long30.field, NoteField::Text);
    EXPECT_FALSE(CheckNoteSettings(std::u16string(20, u'x'), u"0").error);
    // The text comes first.
    EXPECT_EQ(CheckNoteSettings(u"", u"500").error, res::Msg::StickyTextEmpty);
}

TEST(NoteSettingsCheck, RateReadsAsANumberFrom0To99) {
    const NoteSettingsCheck tooHigh = CheckNoteSettings(u"call", u"100");
    EXPECT_EQ(tooHigh.error, res::Msg::TransparencyAbnormal);
    EXPECT_EQ(tooHigh.field, NoteField::Rate);
    EXPECT_EQ(CheckNoteSettings(u"call", u"-5").error, res::Msg::TransparencyAbnormal);
    const NoteSettingsCheck letters = CheckNoteSettings(u"call", u"abc");
    EXPECT_FALSE(letters.error);
    EXPECT_EQ(letters.rate, 0);
    EXPECT_EQ(CheckNoteSettings(u"call", u"99").rate, 99);
    EXPECT_EQ(CheckNoteSettings(u"call", u"").rate, 0);
}

TEST(NoteSettingsCheck, UpDownStepsStayWithinTheRange) {
    EXPECT_EQ(StepRate(40, 1), 41);
    EXPECT_EQ(StepRate(99, 1), 99);
    EXPECT_EQ(StepRate(0, -1), 0);
    EXPECT_EQ(StepRate(1, -1), 0);
}

TermDateEdits Edits(std::u16string_view y, std::u16string_view m, std::u16string_view d) {
    return {true, y, m, d};
}

TEST(BlinkTermCheck, EachDateMustBeARealDayFrom1900On) {
    const TermDateEdits none;
    const auto start = [&none](TermDateEdits e) { return CheckBlinkTerm(2, e, none); };
    BlinkTermCheck c = start(Edits(u"1899", u"12", u"31"));
    EXPECT_EQ(c.error, res::Msg::Specify1900OrLater);
    EXPECT_EQ(c.field, TermField::StartYear);
    c = start(Edits(u"2024", u"13", u"1"));
    EXPECT_EQ(c.error, res::Msg::MonthIncorrect);
    EXPECT_EQ(c.field, TermField::StartMonth);
    c = start(Edits(u"2023", u"2", u"29"));
    EXPECT_EQ(c.error, res::Msg::DayIncorrect);
    EXPECT_EQ(c.field, TermField::StartDay);
    EXPECT_EQ(start(Edits(u"", u"2", u"1")).error, res::Msg::EnterYear);
    EXPECT_EQ(start(Edits(u"2024", u"", u"1")).error, res::Msg::EnterMonth);
    EXPECT_EQ(start(Edits(u"2024", u"2", u"")).error, res::Msg::EnterDay);

    c = start(Edits(u"2024", u"2", u"29"));
    EXPECT_FALSE(c.error);
    EXPECT_TRUE(c.settings.fromEnabled);
    EXPECT_EQ(c.settings.from, (Date{2024, 2, 29}));
    EXPECT_FALSE(c.settings.toEnabled);

    // The end date's faults name the end's edits.
    c = CheckBlinkTerm(1, none, Edits(u"2024", u"4", u"31"));
    EXPECT_EQ(c.error, res::Msg::DayIncorrect);
    EXPECT_EQ(c.field, TermField::EndDay);
    c = CheckBlinkTerm(1, none, Edits(u"abc", u"4", u"3"));
    EXPECT_EQ(c.error, res::Msg::Specify1900OrLater);
    EXPECT_EQ(c.field, TermField::EndYear);
}

TEST(BlinkTermCheck, TheStartMustNotComeAfterTheEnd) {
    BlinkTermCheck c = CheckBlinkTerm(2, Edits(u"2024", u"5", u"10"), Edits(u"2024", u"5", u"9"));
    EXPECT_EQ(c.error, res::Msg::BlinkTermOrder);
    EXPECT_EQ(c.field, TermField::StartYear);
    c = CheckBlinkTerm(2, Edits(u"2024", u"5", u"10"), Edits(u"2024", u"5", u"10"));
    EXPECT_FALSE(c.error);
    EXPECT_EQ(c.settings.to, (Date{2024, 5, 10}));
    // Across a year's end: December before January of the next year.
    EXPECT_FALSE(CheckBlinkTerm(1, Edits(u"2024", u"12", u"31"), Edits(u"2025", u"1", u"1")).error);
    EXPECT_EQ(CheckBlinkTerm(1, Edits(u"2025", u"1", u"1"), Edits(u"2024", u"12", u"31")).error,
              res::Msg::BlinkTermOrder);
}

TEST(BlinkTermCheck, WithoutBlinkingNothingIsReadOrKept) {
    const TermDateEdits junk{false, u"abc", u"99", u"99"};
    const BlinkTermCheck c = CheckBlinkTerm(0, junk, junk);
    EXPECT_FALSE(c.error);
    EXPECT_EQ(c.settings, BlinkSettings{});
    // An unchecked date keeps zeros whatever its edits hold.
    const BlinkTermCheck open = CheckBlinkTerm(2, junk, Edits(u"2024", u"1", u"1"));
    EXPECT_FALSE(open.error);
    EXPECT_FALSE(open.settings.fromEnabled);
    EXPECT_EQ(open.settings.from, Date{});

    EXPECT_FALSE(TermControlsFor(0, true, true).term);
    EXPECT_FALSE(TermControlsFor(0, true, true).startEdits);
    const TermControls blinking = TermControlsFor(1, false, true);
    EXPECT_TRUE(blinking.term);
    EXPECT_FALSE(blinking.startEdits);
    EXPECT_TRUE(blinking.endEdits);
}

TEST(NewNote, TakesTheTitleOrTheDateAndTheDefaults) {
    EXPECT_EQ(NoteDefaultText({2024, 3, 5}, u""), u"03-05-2024");
    EXPECT_EQ(NoteDefaultText({2024, 3, 0}, u""), u"03-2024");
    EXPECT_EQ(NoteDefaultText({2024, 0, 0}, u""), u"2024");
    EXPECT_EQ(NoteDefaultText({2024, 3, 5}, u"Dentist"), u"Dentist");

    app::AppSettings settings;
    store::StickyNote n = NewNote(settings, {2024, 3, 5}, u"", NoteSide::Right);
    EXPECT_EQ(n.faceName, u"Meiryo");
    EXPECT_EQ(n.fontHeight, 12);
    EXPECT_EQ(n.backColor, 0x80FFFFu);
    EXPECT_EQ(n.side, 1);
    EXPECT_EQ(n.top, 0);

    // "Set to default" gives later notes the look, not the text.
    store::StickyNote look = n;
    look.text = u"Look";
    look.faceName = u"Serif";
    look.fontHeight = 20;
    look.fontWeight = 700;
    look.italic = true;
    look.textColor = 0xFF;
    look.backColor = 0xFF00;
    look.transparency = 30;
    look.blink = 2;
    look.startSet = true;
    look.start = {2024, 12, 30};
    look.endSet = true;
    look.end = {2025, 1, 2};
    StoreNoteDefaults(settings, look);
    store::StickyNote later = NewNote(settings, {2025, 1, 0}, u"January", NoteSide::Left);
    EXPECT_EQ(later.text, u"January");
    EXPECT_EQ(later.date, (Date{2025, 1, 0}));
    EXPECT_EQ(later.faceName, look.faceName);
    EXPECT_EQ(later.fontHeight, 20);
    EXPECT_EQ(later.fontWeight, 700);
    EXPECT_TRUE(later.italic);
    EXPECT_EQ(later.textColor, 0xFFu);
    EXPECT_EQ(later.backColor, 0xFF00u);
    EXPECT_EQ(later.transparency, 30);
    EXPECT_EQ(later.blink, 2);
    EXPECT_EQ(later.start, (Date{2024, 12, 30}));
    EXPECT_EQ(later.end, (Date{2025, 1, 2}));
    EXPECT_TRUE(later.startSet && later.endSet);
}

}  // namespace
}  // namespace tl::sticky
