#include "note_table.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "store/diary_data_file.h"
#include "support/data_file_fixture.h"
#include "support/faulty_file_system.h"

namespace tl::sticky {
namespace {

using store::Date;
using store::StickyNote;

// A note window without a window: records what the table asks of it.
class FakeNote : public NoteWindow {
public:
    FakeNote(const StickyNote& note, int* destroyed = nullptr)
        : m_note(note), m_destroyed(destroyed) {
        m_blink.setKind(note.blink);
    }
    ~FakeNote() override {
        if (m_destroyed) ++*m_destroyed;
    }
    const StickyNote& note() const override { return m_note; }
    int noteWidth() const override { return 60; }
    int noteHeight() const override { return 20; }
    void moveTo(NotePoint at) override { this->at = at; }
    void setShown(bool s) override { shown = s; }
    BlinkPhase& blink() override { return m_blink; }
    void repaintNote() override { ++repaints; }

    NotePoint at;
    bool shown = false;
    int repaints = 0;

private:
    StickyNote m_note;
    BlinkPhase m_blink;
    int* m_destroyed;
};

StickyNote Note(Date date, std::u16string text = u"note") {
    StickyNote n;
    n.date = date;
    n.text = std::move(text);
    n.faceName = u"Sans";
    n.fontHeight = 12;
    return n;
}

FakeNote& Fake(const StickyNoteTable& table, std::size_t slot) {
    return static_cast<FakeNote&>(table.at(slot));
}

StickyNoteTable::Factory Fakes(int* destroyed = nullptr) {
    return [destroyed](const StickyNote& n) { return std::make_unique<FakeNote>(n, destroyed); };
}

Date Day(int d) {
    return {2024, 5, static_cast<std::uint8_t>(d)};
}

TEST(StickyNoteTable, PeelingOffMovesTheLaterSlotsUpAndFreesTheRecord) {
    testing::MemDataFile data;
    StickyNoteTable table;
    int destroyed = 0;
    for (int d = 1; d <= 5; ++d) {
        ASSERT_EQ(data.file->SaveStickyNote(Note(Day(d))), 1);
        table.AddNote(std::make_unique<FakeNote>(Note(Day(d)), &destroyed));
    }
    EXPECT_TRUE(table.RemoveNote(Day(3), *data.file));
    EXPECT_EQ(destroyed, 1);
    ASSERT_EQ(table.count(), 4u);
    EXPECT_EQ(table.at(2).note().date, Day(4));
    EXPECT_EQ(table.at(3).note().date, Day(5));
    EXPECT_FALSE(table.FindNote(Day(3)));
    EXPECT_EQ(data.file->FindStickyNote(Day(3)), 0u);
    EXPECT_NE(data.file->FindStickyNote(Day(4)), 0u);
    EXPECT_FALSE(table.RemoveNote(Day(3), *data.file));
}

TEST(StickyNoteTable, ANotePeeledOffAndOneKeptSurviveARestartAsTheyWere) {
    testing::MemDataFile data;
    {
        StickyNoteTable table;
        StickyNote moved = Note(Day(1), u"dentist");
        moved.side = 1;
        moved.top = 140;
        moved.blink = 2;
        moved.endSet = true;
        moved.end = {2024, 12, 31};
        table.AddNote(std::make_unique<FakeNote>(moved));
        table.AddNote(std::make_unique<FakeNote>(Note(Day(2), u"peeled")));
        table.SaveAllNotes(*data.file);
        EXPECT_EQ(table.count(), 0u);
    }
    ASSERT_EQ(data.reopen(), store::OpenResult::Opened);
    {
        StickyNoteTable table;
        ASSERT_EQ(table.LoadNotes(*data.file, Fakes()), 2u);
        const StickyNote& n = table.at(0).note();
        EXPECT_EQ(n.text, u"dentist");
        EXPECT_EQ(n.side, 1);
        EXPECT_EQ(n.top, 140);
        EXPECT_EQ(n.blink, 2);
        EXPECT_TRUE(n.endSet);
        EXPECT_EQ(n.end, (Date{2024, 12, 31}));
        EXPECT_TRUE(table.RemoveNote(Day(2), *data.file));
        table.SaveAllNotes(*data.file);
    }
    ASSERT_EQ(data.reopen(), store::OpenResult::Opened);
    StickyNoteTable table;
    ASSERT_EQ(table.LoadNotes(*data.file, Fakes()), 1u);
    EXPECT_EQ(table.at(0).note().text, u"dentist");
}

TEST(StickyNoteTable, AReadOnlyFileIsNotWrittenButTheWindowsGoAllTheSame) {
    testing::MemDataFile data;
    ASSERT_EQ(data.file->SaveStickyNote(Note(Day(1), u"stored")), 1);
    ASSERT_EQ(data.reopen(true), store::OpenResult::Opened);
    StickyNoteTable table;
    int destroyed = 0;
    ASSERT_EQ(table.LoadNotes(*data.file, Fakes(&destroyed)), 1u);
    table.AddNote(std::make_unique<FakeNote>(Note(Day(9), u"new"), &destroyed));
    table.SaveAllNotes(*data.file);
    EXPECT_EQ(destroyed, 2);
    EXPECT_TRUE(data.ui.warnings().empty());
    EXPECT_EQ(data.file->FindStickyNote(Day(9)), 0u);
    EXPECT_NE(data.file->FindStickyNote(Day(1)), 0u);
}

TEST(StickyNoteTable, AFailedWriteIsToldOnceAndEndsTheSaving) {
    testing::MemDataFile base;
    testing::FaultyFileSystem failing(base.fs);
    store::CDiaryDataFile file(failing, base.ui);
    file.SetPath(base.path);
    file.SetKey(store::DeriveDataFileKey());
    base.file->Close();
    ASSERT_EQ(file.Open(false), store::OpenResult::Opened);
    StickyNoteTable table;
    for (int d = 1; d <= 3; ++d) table.AddNote(std::make_unique<FakeNote>(Note(Day(d))));
    failing.kind = store::FileErrorKind::DiskFull;
    failing.arm(1);
    table.SaveAllNotes(file);
    failing.arm(0);
    EXPECT_EQ(table.count(), 0u);
    const std::string told(res::Text(res::Msg::StickyNoteSaveFailure));
    const auto timesTold = [&base, &told] {
        const std::vector<std::string> warnings = base.ui.warnings();
        return std::count(warnings.begin(), warnings.end(), told);
    };
    EXPECT_EQ(timesTold(), 1);
    EXPECT_EQ(file.FindStickyNote(Day(2)), 0u) << "no save after the failed one";
    EXPECT_EQ(file.FindStickyNote(Day(3)), 0u);

    // The next run of saves tells a failure again.
    table.AddNote(std::make_unique<FakeNote>(Note(Day(4))));
    failing.arm(1);
    table.SaveAllNotes(file);
    failing.arm(0);
    EXPECT_EQ(timesTold(), 2);
}

TEST(StickyNoteTable, LoadingSkipsNotesWithoutAWindowAndStopsAtTheLastSlot) {
    testing::MemDataFile data;
    for (int i = 0; i < 105; ++i)
        ASSERT_EQ(
            data.file->SaveStickyNote(Note({static_cast<std::int16_t>(1950 + i), 0, 0}, u"year")),
            1);
    StickyNoteTable table;
    int made = 0;
    const auto everyTenthFails = [&made](const StickyNote& n) -> std::unique_ptr<NoteWindow> {
        if (made++ % 10 == 0) return nullptr;
        return std::make_unique<FakeNote>(n);
    };
    EXPECT_EQ(table.LoadNotes(*data.file, everyTenthFails), 90u);
    EXPECT_NE(data.file->FindStickyNote({1950, 0, 0}), 0u) << "a note without window stays stored";
    EXPECT_TRUE(table.FindNote({1951, 0, 0}));

    StickyNoteTable all;
    EXPECT_EQ(all.LoadNotes(*data.file, Fakes()), StickyNoteTable::kSlots);
    EXPECT_TRUE(all.full());
}

TEST(StickyNoteTable, ArrangingPutsEveryNoteAtItsEdge) {
    StickyNoteTable table;
    StickyNote right = Note(Day(1));
    right.side = 1;
    right.top = 100;
    StickyNote low = Note(Day(2));
    low.top = 900;
    table.AddNote(std::make_unique<FakeNote>(right));
    table.AddNote(std::make_unique<FakeNote>(low));
    table.ArrangeNotes({100, 50, 900, 350});
    EXPECT_EQ(Fake(table, 0).at, (NotePoint{900, 150}));
    EXPECT_EQ(Fake(table, 1).at, (NotePoint{40, 330}));
    EXPECT_EQ(table.at(1).note().top, 900) << "the stored offset is kept";
    table.ShowAllNotes(true);
    EXPECT_TRUE(Fake(table, 0).shown && Fake(table, 1).shown);
    table.ShowAllNotes(false);
    EXPECT_FALSE(Fake(table, 0).shown || Fake(table, 1).shown);
}

// Ticks of one day each: which of them draw the note inverted.
std::vector<bool> InvertedOnTicks(const StickyNote& note, Date today, int ticks = 4) {
    StickyNoteTable table;
    table.AddNote(std::make_unique<FakeNote>(note));
    bool phaseOn = true;
    std::vector<bool> out;
    for (int i = 0; i < ticks; ++i) {
        table.BlinkTick(phaseOn, today);
        phaseOn = !phaseOn;
        out.push_back(table.at(0).blink().inverted());
    }
    return out;
}

TEST(StickyNoteTable, ANoteBlinksOnEveryDayOfItsTermAndOnNoOther) {
    StickyNote may = Note(Day(20));
    may.blink = 2;
    may.startSet = may.endSet = true;
    may.start = {2024, 5, 1};
    may.end = {2024, 5, 31};
    const std::vector<bool> blinking{false, true, false, true};
    const std::vector<bool> still(4, false);
    EXPECT_EQ(InvertedOnTicks(may, {2024, 5, 1}), blinking);
    EXPECT_EQ(InvertedOnTicks(may, {2024, 5, 31}), blinking);
    EXPECT_EQ(InvertedOnTicks(may, {2024, 6, 1}), still);
    EXPECT_EQ(InvertedOnTicks(may, {2024, 4, 30}), still);

    // Across a year's end, and up to a leap day.
    StickyNote turn = may;
    turn.start = {2024, 12, 30};
    turn.end = {2025, 1, 2};
    EXPECT_EQ(InvertedOnTicks(turn, {2024, 12, 31}), blinking);
    EXPECT_EQ(InvertedOnTicks(turn, {2025, 1, 1}), blinking);
    EXPECT_EQ(InvertedOnTicks(turn, {2025, 1, 3}), still);
    StickyNote leap = may;
    leap.startSet = false;
    leap.end = {2024, 2, 29};
    EXPECT_EQ(InvertedOnTicks(leap, {2024, 2, 29}), blinking);
    EXPECT_EQ(InvertedOnTicks(leap, {2024, 3, 1}), still);
    EXPECT_EQ(InvertedOnTicks(leap, {1999, 1, 1}), blinking) << "no start: every day before";

    StickyNote steady = may;
    steady.blink = 0;
    EXPECT_EQ(InvertedOnTicks(steady, {2024, 5, 10}), still);
}

TEST(StickyNoteTable, OnlyNotesWhosePhaseChangedAreRepainted) {
    StickyNoteTable table;
    StickyNote blinking = Note(Day(1));
    blinking.blink = 1;
    table.AddNote(std::make_unique<FakeNote>(blinking));
    table.AddNote(std::make_unique<FakeNote>(Note(Day(2))));
    for (bool phaseOn : {true, false, true, false}) table.BlinkTick(phaseOn, Day(10));
    // true leaves the visible phase as it was; each false and true after
    // that changes it.
    EXPECT_EQ(Fake(table, 0).repaints, 3);
    EXPECT_EQ(Fake(table, 1).repaints, 0);
}

}  // namespace
}  // namespace tl::sticky
