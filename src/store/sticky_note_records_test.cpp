#include <gtest/gtest.h>

#include <algorithm>

#include "diary_data_file.h"
#include "support/data_file_fixture.h"
#include "support/faulty_file_system.h"
#include "support/sync_counting_file_system.h"

namespace tl::store {
namespace {

using testing::MemDataFile;
using testing::RecordImage;

StickyNote Note(Date date, std::u16string text) {
    StickyNote n;
    n.date = date;
    n.text = std::move(text);
    n.faceName = u"Serif";
    n.fontWidth = -3;
    n.fontHeight = 12;
    n.fontWeight = 700;
    n.italic = true;
    n.textColor = 0x00112233;
    n.backColor = 0x0080ffff;
    n.top = 250;
    n.side = 1;
    n.transparency = 40;
    n.blink = 2;
    n.startSet = true;
    n.start = {2024, 3, 10};
    n.endSet = false;
    n.end = {2025, 1, 31};
    return n;
}

void ExpectSame(const StickyNote& a, const StickyNote& b) {
    EXPECT_EQ(a.date, b.date);
    EXPECT_EQ(a.faceName, b.faceName);
    EXPECT_EQ(a.fontWidth, b.fontWidth);
    EXPECT_EQ(a.fontHeight, b.fontHeight);
    EXPECT_EQ(a.fontWeight, b.fontWeight);
    EXPECT_EQ(a.italic, b.italic);
    EXPECT_EQ(a.textColor, b.textColor);
    EXPECT_EQ(a.backColor, b.backColor);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.side, b.side);
    EXPECT_EQ(a.transparency, b.transparency);
    EXPECT_EQ(a.blink, b.blink);
    EXPECT_EQ(a.startSet, b.startSet);
    EXPECT_EQ(a.start, b.start);
    EXPECT_EQ(a.endSet, b.endSet);
    EXPECT_EQ(a.end, b.end);
    EXPECT_EQ(a.text, b.text);
}

std::vector<std::uint8_t> RecordBytes(CDiaryDataFile& f, std::uint64_t unit,
                                      std::uint32_t units = 3) {
    std::vector<std::uint8_t> b(units * kUnitSize);
    EXPECT_EQ(f.ReadBytes(unit, b.data(), b.size()), b.size());
    return b;
}

TEST(StickyNoteRecords, EveryFieldRoundTripsOnDaysMonthsAndYears) {
    MemDataFile d;
    const StickyNote day = Note({2024, 3, 5}, u"dentist");
    StickyNote month = Note({2024, 3, 0}, u"rent");
    month.italic = false;
    month.side = 0;
    month.blink = 0;
    month.startSet = false;
    month.endSet = true;
    StickyNote year = Note({-2, 0, 0}, u"plan");
    ASSERT_EQ(d.file->SaveStickyNote(day), 1);
    ASSERT_EQ(d.file->SaveStickyNote(month), 1);
    ASSERT_EQ(d.file->SaveStickyNote(year), 1);
    d.reopen();
    for (const StickyNote* n :
         {&day, static_cast<const StickyNote*>(&month), static_cast<const StickyNote*>(&year)}) {
        StickyNote back;
        const std::uint64_t u = d.file->FindStickyNote(n->date, &back);
        ASSERT_NE(u, 0u);
        ExpectSame(back, *n);
        auto raw = RecordBytes(*d.file, u);
        EXPECT_EQ(GetU32(&raw[8]), 3u);
        EXPECT_EQ(raw[4], n->date.month);
        EXPECT_EQ(raw[5], n->date.day);
    }
    EXPECT_EQ(d.file->FindStickyNote({2024, 0, 0}), 0u);
    EXPECT_TRUE(d.ui.warnings().empty());
}

TEST(StickyNoteRecords, TextAndFaceAreCutToTheirFieldsAndKeepUnpairedSurrogates) {
    MemDataFile d;
    std::u16string text64(63, u'x');
    text64 += u'\xd800';  // a lone high surrogate at the very end
    StickyNote n = Note({2024, 3, 5}, text64 + u"beyond");
    n.faceName = u"ABCDEFGHIJKLMNO\xdc00QRST";  // 20 code units, a lone low surrogate at 16
    ASSERT_EQ(d.file->SaveStickyNote(n), 1);
    StickyNote back;
    const std::uint64_t u = d.file->FindStickyNote(n.date, &back);
    ASSERT_NE(u, 0u);
    EXPECT_EQ(back.text, text64);
    EXPECT_EQ(back.faceName, u"ABCDEFGHIJKLMNO\xdc00");
    // 64 code units fill the third unit with no terminator.
    auto raw = RecordBytes(*d.file, u);
    EXPECT_EQ(GetU16(&raw[256 + 2 * 63]), 0xd800);
    EXPECT_EQ(GetU16(&raw[64 + 2 * 15]), 0xdc00);
    EXPECT_EQ(GetU32(&raw[96]), static_cast<std::uint32_t>(-3));
}

TEST(StickyNoteRecords, SavingReplacesAndRemovingFreesTheDatesNote) {
    MemDataFile d;
    ASSERT_EQ(d.file->SaveStickyNote(Note({2024, 3, 5}, u"one")), 1);
    ASSERT_EQ(d.file->SaveStickyNote(Note({2024, 3, 6}, u"other")), 1);
    ASSERT_EQ(d.file->SaveStickyNote(Note({2024, 3, 5}, u"two")), 1);
    KindCounts counts;
    ASSERT_EQ(d.file->CountByKind(counts), 1);
    EXPECT_EQ(counts[kKindStickyNote], 2u);
    StickyNote back;
    ASSERT_NE(d.file->FindStickyNote({2024, 3, 5}, &back), 0u);
    EXPECT_EQ(back.text, u"two");

    EXPECT_EQ(d.file->RemoveStickyNote({2024, 3, 5}), 1);
    EXPECT_EQ(d.file->RemoveStickyNote({2024, 3, 5}), 0);
    EXPECT_EQ(d.file->FindStickyNote({2024, 3, 5}), 0u);
    EXPECT_NE(d.file->FindStickyNote({2024, 3, 6}), 0u);
}

using testing::SyncCountingFileSystem;

TEST(StickyNoteRecords, SavingANoteUnchangedWritesNothing) {
    MemDataFile base;
    SyncCountingFileSystem counting(base.fs);
    CDiaryDataFile f(counting, base.ui);
    f.SetPath(base.path);
    f.SetKey(DeriveDataFileKey());
    base.file->Close();
    ASSERT_EQ(f.Open(false), OpenResult::Opened);
    const StickyNote note = Note({2024, 3, 5}, u"same");
    ASSERT_EQ(f.SaveStickyNote(note), 1);
    const std::uint64_t unit = f.FindStickyNote({2024, 3, 5});
    const int syncs = counting.syncs;
    const std::vector<std::uint8_t> before = base.raw();
    ASSERT_EQ(f.SaveStickyNote(note), 1);
    EXPECT_EQ(counting.syncs, syncs);
    EXPECT_EQ(base.raw(), before);
    EXPECT_EQ(f.FindStickyNote({2024, 3, 5}), unit);
    // Changed, it is written.
    ASSERT_EQ(f.SaveStickyNote(Note({2024, 3, 5}, u"changed")), 1);
    EXPECT_GT(counting.syncs, syncs);
    StickyNote back;
    ASSERT_NE(f.FindStickyNote({2024, 3, 5}, &back), 0u);
    EXPECT_EQ(back.text, u"changed");
}

TEST(StickyNoteRecords, APreviousNoteSurvivesAFailureAtEveryWrite) {
    const Date date{2024, 3, 5};
    bool completed = false;
    for (int n = 1; !completed && n < 50; ++n) {
        SCOPED_TRACE("failing write " + std::to_string(n));
        MemDataFile base;
        SyncCountingFileSystem counting(base.fs);
        testing::FaultyFileSystem faulty(counting);
        CDiaryDataFile f(faulty, base.ui);
        f.SetPath(base.path);
        f.SetKey(DeriveDataFileKey());
        base.file->Close();
        ASSERT_EQ(f.Open(false), OpenResult::Opened);
        // Free space before the old note, so that the new one is written in
        // both ways: into a free stretch and, for a second save, by growth.
        std::uint64_t spare;
        ASSERT_EQ(f.WriteRecord(RecordImage(kKindPlainText, 2024, 1, 1, 4), &spare), 1);
        ASSERT_EQ(f.SaveStickyNote(Note(date, u"old")), 1);
        f.FreeRecord(spare);
        const std::uint64_t oldUnit = f.FindStickyNote(date);
        const auto oldBytes = RecordBytes(f, oldUnit);
        const int syncsBefore = counting.syncs;

        faulty.arm(n);
        const int saved = f.SaveStickyNote(Note(date, u"new"));
        completed = !faulty.fired();
        faulty.arm(0);

        f.Close();
        ASSERT_EQ(f.Open(false), OpenResult::Opened);
        ASSERT_EQ(f.Validate(), 1);
        StickyNote back;
        ASSERT_NE(f.FindStickyNote(date, &back), 0u);
        if (completed) {
            EXPECT_EQ(saved, 1);
            EXPECT_EQ(back.text, u"new");
            EXPECT_GT(counting.syncs, syncsBefore) << "a completed save reaches the disk";
            EXPECT_EQ(f.UnitsOfDate(date, {kKindStickyNote}).size(), 1u);
        } else {
            EXPECT_EQ(saved, 0);
            EXPECT_EQ(base.ui.warnings().back(),
                      "Write to disk failure.\nSticky note save failure");
            EXPECT_EQ(RecordBytes(f, oldUnit), oldBytes) << "the old note is whole where it was";
            // The next save repairs whatever the failure left.
            ASSERT_EQ(f.SaveStickyNote(Note(date, u"again")), 1);
            EXPECT_EQ(f.UnitsOfDate(date, {kKindStickyNote}).size(), 1u);
            ASSERT_NE(f.FindStickyNote(date, &back), 0u);
            EXPECT_EQ(back.text, u"again");
        }
    }
    EXPECT_TRUE(completed);
}

TEST(StickyNoteRecords, ASaveFailureIsToldOncePerRunOfSaves) {
    MemDataFile d;
    d.fs.setCapacity(d.raw().size());  // nothing more fits
    EXPECT_EQ(d.file->SaveStickyNote(Note({2024, 3, 5}, u"a")), 0);
    EXPECT_EQ(d.file->SaveStickyNote(Note({2024, 3, 6}, u"b")), 1);
    d.file->BeginStickyNoteSaves();
    EXPECT_EQ(d.file->SaveStickyNote(Note({2024, 3, 7}, u"c")), 0);
    int told = 0;
    for (const auto& w : d.ui.warnings())
        told += w == "Write to disk failure.\nSticky note save failure";
    EXPECT_EQ(told, 2);
    EXPECT_EQ(d.file->FindStickyNote({2024, 3, 6}), 0u);
}

TEST(StickyNoteRecords, StartUpReSaveKeepsNotesOnTheirUnits) {
    MemDataFile d;
    std::vector<std::uint64_t> units;
    for (int day = 1; day <= 3; ++day) {
        ASSERT_EQ(d.file->SaveStickyNote(Note({2024, 3, static_cast<std::uint8_t>(day)}, u"n")), 1);
        units.push_back(d.file->FindStickyNote({2024, 3, static_cast<std::uint8_t>(day)}));
    }
    const std::uint32_t total = d.file->TotalUnits();
    d.reopen();
    const auto notes = d.file->LoadStickyNotes();
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[2].date, (Date{2024, 3, 3}));
    EXPECT_EQ(d.file->TotalUnits(), total);
    for (int day = 1; day <= 3; ++day)
        EXPECT_EQ(d.file->FindStickyNote({2024, 3, static_cast<std::uint8_t>(day)}),
                  units[day - 1]);
}

TEST(StickyNoteRecords, StartUpReadsRecordsByTheirOwnUnitsAndRewritesOddOnes) {
    MemDataFile d;
    // A five-unit note with stray bytes, a one-unit note, a duplicate of the
    // first date, and an ordinary note after them all.
    auto wide = RecordImage(kKindStickyNote, 2024, 3, 5, 5, 0);
    PutU16(&wide[256], u'w');
    wide[3 * kUnitSize + 7] = 0x99;
    auto narrow = RecordImage(kKindStickyNote, 2024, 3, 6, 1, 0);
    PutU32(&narrow[104], 400);
    auto duplicate = RecordImage(kKindStickyNote, 2024, 3, 5, 3, 0);
    PutU16(&duplicate[256], u'd');
    ASSERT_EQ(d.file->WriteRecord(wide), 1);
    ASSERT_EQ(d.file->WriteRecord(narrow), 1);
    ASSERT_EQ(d.file->WriteRecord(duplicate), 1);
    ASSERT_EQ(d.file->SaveStickyNote(Note({2024, 3, 7}, u"last")), 1);

    const auto notes = d.file->LoadStickyNotes();
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].text, u"w");
    EXPECT_EQ(notes[1].date, (Date{2024, 3, 6}));
    EXPECT_EQ(notes[1].fontWeight, 400);
    EXPECT_EQ(notes[1].text, u"");
    EXPECT_EQ(notes[2].text, u"last");
    // Rewritten as three-unit records, one per date; nothing read twice.
    EXPECT_EQ(d.file->UnitsOfDate({2024, 3, 5}, {kKindStickyNote}).size(), 1u);
    auto again = d.file->LoadStickyNotes();
    ASSERT_EQ(again.size(), 3u);
    for (const StickyNote& n : notes) {
        auto same = std::find_if(again.begin(), again.end(),
                                 [&](const StickyNote& a) { return a.date == n.date; });
        ASSERT_NE(same, again.end());
        ExpectSame(*same, n);
    }
    StickyNote n;
    std::uint32_t u = 0;
    for (std::uint64_t at = d.file->ReadNextStickyNote(0, n, &u); at;
         at = d.file->ReadNextStickyNote(at + u, n, &u))
        EXPECT_EQ(u, 3u);
}

TEST(StickyNoteRecords, StartUpLoadsAtMostAHundredAndKeepsTheRest) {
    MemDataFile d;
    for (int i = 0; i < 105; ++i)
        ASSERT_EQ(d.file->SaveStickyNote(Note({static_cast<std::int16_t>(2000 + i), 0, 0}, u"y")),
                  1);
    const auto notes = d.file->LoadStickyNotes();
    ASSERT_EQ(notes.size(), kStickySlots);
    EXPECT_EQ(notes.back().date.year, 2099);
    KindCounts counts;
    ASSERT_EQ(d.file->CountByKind(counts), 1);
    EXPECT_EQ(counts[kKindStickyNote], 105u);
    EXPECT_NE(d.file->FindStickyNote({2104, 0, 0}), 0u);
}

TEST(StickyNoteRecords, ReadOnlyFileIsNotWrittenAtStartUp) {
    MemDataFile d;
    auto odd = RecordImage(kKindStickyNote, 2024, 3, 5, 3, 0);
    odd[200] = 1;  // a stray byte the re-save would clear
    ASSERT_EQ(d.file->WriteRecord(odd), 1);
    ASSERT_EQ(d.file->WriteRecord(odd), 1);  // and a duplicate
    d.fs.setReadOnly(d.path, true);
    ASSERT_EQ(d.reopen(), OpenResult::Opened);
    ASSERT_TRUE(d.file->IsReadOnly());
    const auto before = d.raw();
    EXPECT_EQ(d.file->LoadStickyNotes().size(), 1u);
    EXPECT_EQ(d.raw(), before);
    EXPECT_TRUE(d.ui.warnings().empty());
}

TEST(StickyNoteRecords, BlinkScheduleBoundsAreInclusive) {
    StickyNote n = Note({2024, 3, 5}, u"b");
    n.blink = 1;
    n.startSet = true;
    n.start = {2024, 3, 10};
    n.endSet = false;
    EXPECT_FALSE(BlinkScheduled(n, {2024, 3, 9}));
    EXPECT_TRUE(BlinkScheduled(n, {2024, 3, 10}));
    EXPECT_TRUE(BlinkScheduled(n, {2031, 1, 1}));
    n.endSet = true;
    n.end = {2024, 4, 1};
    EXPECT_TRUE(BlinkScheduled(n, {2024, 4, 1}));
    EXPECT_FALSE(BlinkScheduled(n, {2024, 4, 2}));
    n.startSet = false;
    EXPECT_TRUE(BlinkScheduled(n, {1900, 1, 1}));
    n.blink = 0;
    EXPECT_FALSE(BlinkScheduled(n, {2024, 3, 20}));
}

}  // namespace
}  // namespace tl::store
