#include <gtest/gtest.h>

#include "compression.h"
#include "diary_data_file.h"
#include "support/data_file_fixture.h"
#include "support/faulty_file_system.h"

namespace tl::store {
namespace {

using testing::MemDataFile;

const Date kDay{2024, 3, 5};

std::vector<std::uint8_t> Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

TEST(EntryRecords, EditorSaveRoundTripsEveryField) {
    MemDataFile d;
    EntryHeader h;
    h.title = std::u16string(64, u'T');  // fills the field with no terminator
    h.weather = u"\u6674\u308c";
    h.colors = {0x0000ff, 1, 0x00ffff, 2};
    std::u16string text = u"First line\r\n\u65e5\u8a18 second line";
    auto rtf = Bytes("{\\rtf1\\ansi hello}");
    ASSERT_EQ(d.file->SaveEditorEntry(kDay, h, text, rtf), 1);
    d.reopen();
    ASSERT_EQ(d.file->Validate(), 1);

    EntryHeader back;
    std::array<std::uint8_t, kUnitSize> first{};
    ASSERT_NE(d.file->ReadEntryHeader(kDay, &back, &first), 0u);
    EXPECT_EQ(back.title, h.title);
    EXPECT_EQ(back.weather, h.weather);
    EXPECT_EQ(back.colors, h.colors);
    EXPECT_EQ(GetU32(&first[8]), 2u);
    std::u16string textBack;
    EXPECT_NE(d.file->ReadEntryText(kDay, textBack), 0u);
    EXPECT_EQ(textBack, text);
    std::vector<std::uint8_t> rtfBack;
    EXPECT_NE(d.file->ReadEntryRichText(kDay, rtfBack), 0u);
    EXPECT_EQ(rtfBack, rtf);
    EXPECT_EQ(d.ui.events().size(), 0u);
}

TEST(EntryRecords, ImportSaveCutsLongFieldsAndWritesNoRichText) {
    MemDataFile d;
    ASSERT_EQ(d.file->SaveEntry(kDay, std::u16string(65, u'a') + u"b", u"fifteen chars!!", u"text"),
              1);
    EntryHeader back;
    ASSERT_NE(d.file->ReadEntryHeader(kDay, &back), 0u);
    EXPECT_EQ(back.title, std::u16string(64, u'a'));
    EXPECT_EQ(back.weather, u"fifteen ch");
    EXPECT_EQ(back.colors, TitleColors{});
    std::vector<std::uint8_t> rtf;
    EXPECT_EQ(d.file->ReadEntryRichText(kDay, rtf), 0u);
    KindCounts counts;
    ASSERT_EQ(d.file->CountByKind(counts), 1);
    EXPECT_EQ(counts, (KindCounts{0, 1, 1, 0, 0, 0, 0}));
}

TEST(EntryRecords, ResavingReplacesEveryRecordOfTheDateButNotAttachmentsOrOtherDates) {
    MemDataFile d;
    ASSERT_EQ(d.file->WriteRecord(testing::RecordImage(kKindAttachment, 2024, 3, 5, 6)), 1);
    ASSERT_EQ(d.file->WriteRecord(testing::RecordImage(kKindStickyNote, 2024, 3, 5, 3)), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 3, 0}, u"month", u"", u"march note"), 1);
    for (int round = 0; round < 3; ++round) {
        std::u16string text = u"version " + std::u16string(1, char16_t(u'0' + round));
        ASSERT_EQ(d.file->SaveEditorEntry(kDay, {u"title", u"", {}}, text, Bytes("{\\rtf1 x}")), 1);
        std::u16string back;
        ASSERT_NE(d.file->ReadEntryText(kDay, back), 0u);
        EXPECT_EQ(back, text);
    }
    KindCounts counts;
    ASSERT_EQ(d.file->CountByKind(counts, "20240305", "20240305"), 1);
    EXPECT_EQ(counts[kKindEntryHeader], 1u);
    EXPECT_EQ(counts[kKindPlainText], 1u);
    EXPECT_EQ(counts[kKindRichText], 1u);
    EXPECT_EQ(counts[kKindStickyNote], 1u) << "the sticky note is not part of the entry";
    EXPECT_EQ(counts[kKindAttachment], 1u);
    std::u16string month;
    EXPECT_NE(d.file->ReadEntryText({2024, 3, 0}, month), 0u);
    EXPECT_EQ(month, u"march note");
}

TEST(EntryRecords, SavingEverythingEmptyDeletesTheEntryAndKeepsAttachmentsAndNote) {
    MemDataFile d;
    ASSERT_EQ(d.file->SaveEditorEntry(kDay, {u"t", u"w", {}}, u"x", Bytes("{\\rtf1 x}")), 1);
    ASSERT_EQ(d.file->WriteRecord(testing::RecordImage(kKindAttachment, 2024, 3, 5, 6)), 1);
    StickyNote note;
    note.date = kDay;
    ASSERT_EQ(d.file->SaveStickyNote(note), 1);
    ASSERT_EQ(d.file->SaveEntry(kDay, u"", u"", u""), 1);
    KindCounts counts;
    ASSERT_EQ(d.file->CountByKind(counts, "20240305", "20240305"), 1);
    for (std::uint8_t kind : {kKindEntryHeader, kKindPlainText, kKindRichText})
        EXPECT_EQ(counts[kind], 0u) << int(kind);
    EXPECT_EQ(counts[kKindStickyNote], 1u);
    EXPECT_EQ(counts[kKindAttachment], 1u);
    EXPECT_EQ(d.file->ReadEntryHeader(kDay), 0u);
}

TEST(EntryRecords, OneUnitHeadersGiveTheirTitleFromTheFirstUnit) {
    MemDataFile d;
    auto image = testing::RecordImage(kKindEntryHeader, 2024, 3, 5, 1, 0);
    PutText(&image[24], 20, u"a twenty-code-unit t");
    PutText(&image[65], 10, u"rain");
    ASSERT_EQ(d.file->WriteRecord(image), 1);
    EntryHeader back;
    ASSERT_NE(d.file->ReadEntryHeader(kDay, &back), 0u);
    EXPECT_EQ(back.title, u"a twenty-code-unit t");
    EXPECT_EQ(back.weather, u"rain");
}

TEST(EntryRecords, StoredSizesOnUnitBoundaries) {
    // A plain text whose zlib stream is 84 bytes fits the first unit; 85
    // take two. A rich text stream that is a multiple of 128 has a spare unit.
    EXPECT_EQ(CDiaryDataFile::UnitsForPayload(84), 1u);
    EXPECT_EQ(CDiaryDataFile::UnitsForPayload(85), 2u);
    MemDataFile d;
    std::u16string text = u"short";
    ASSERT_EQ(d.file->SaveEntry(kDay, u"", u"", text), 1);
    RecordHeader h;
    std::uint64_t unit = d.file->FindNext(kKindPlainText, 0, &h);
    ASSERT_NE(unit, 0u);
    EXPECT_EQ(h.units(), 1u);
}

TEST(EntryRecords, UnpairedSurrogatesAndZerosInTextsDoNotCrash) {
    MemDataFile d;
    std::u16string odd = u"a";
    odd += char16_t(0xd800);
    odd += u"b";
    odd += char16_t(0xdc00);
    ASSERT_EQ(d.file->SaveEditorEntry(kDay, {odd, odd.substr(0, 3), {}}, odd, {}), 1);
    std::u16string back;
    ASSERT_NE(d.file->ReadEntryText(kDay, back), 0u);
    EXPECT_EQ(back, odd);
    EntryHeader h;
    ASSERT_NE(d.file->ReadEntryHeader(kDay, &h), 0u);
    EXPECT_EQ(h.title, odd);
}

// Patches bytes of the record at unit (plain, before enciphering).
void Patch(CDiaryDataFile& f, std::uint64_t unit, std::size_t offset,
           std::span<const std::uint8_t> bytes, MemDataFile& d) {
    std::vector<std::uint8_t> unitBytes(kUnitSize);
    const std::uint64_t u = unit + offset / kUnitSize;
    ASSERT_EQ(f.ReadBytes(u, unitBytes.data(), kUnitSize), kUnitSize);
    std::copy(bytes.begin(), bytes.end(),
              unitBytes.begin() + static_cast<std::ptrdiff_t>(offset % kUnitSize));
    CBlowfish bf;
    auto key = DeriveDataFileKey();
    bf.Initialize(reinterpret_cast<const std::uint8_t*>(key.data()), 32);
    bf.Encrypt(unitBytes.data(), d.raw().data() + u * kUnitSize, kUnitSize);
}

TEST(EntryRecords, UntrustedSizesAndCorruptStreamsFailCleanlyAndLeaveOtherDatesReadable) {
    struct Case {
        const char* name;
        std::size_t offset;
        std::vector<std::uint8_t> bytes;
        bool reads;  // the stated original size is only informative
    };
    std::vector<Case> cases = {
        {"stored size beyond the record", 32, {0xff, 0xff, 0x00, 0x00}, false},
        {"original size of 4 GB", 24, {0xff, 0xff, 0xff, 0xff}, true},
        {"original size smaller than the stream yields", 24, {0x02, 0x00, 0x00, 0x00}, true},
        {"corrupt stream", 46, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, false},
    };
    const std::u16string saved = std::u16string(500, u'x') + u"end";
    for (const Case& c : cases) {
        MemDataFile d;
        ASSERT_EQ(d.file->SaveEntry({2024, 3, 4}, u"", u"", u"the day before"), 1);
        ASSERT_EQ(d.file->SaveEntry(kDay, u"", u"", saved), 1);
        std::uint64_t unit = d.file->UnitsOfDate(kDay, {kKindPlainText}).at(0);
        Patch(*d.file, unit, c.offset, c.bytes, d);
        std::u16string text;
        std::uint64_t got = d.file->ReadEntryText(kDay, text);
        if (c.reads) {
            EXPECT_NE(got, 0u) << c.name;
            EXPECT_EQ(text, saved) << c.name;
            EXPECT_TRUE(d.ui.warnings().empty()) << c.name;
        } else {
            EXPECT_EQ(got, 0u) << c.name;
            EXPECT_EQ(d.ui.warnings(), std::vector<std::string>{"Failed to decompress."}) << c.name;
        }
        std::u16string other;
        EXPECT_NE(d.file->ReadEntryText({2024, 3, 4}, other), 0u) << c.name;
        EXPECT_EQ(other, u"the day before");
    }
}

TEST(EntryRecords, AStreamNearTheLargestRatioReadsWholeWhateverItsStatedSize) {
    // A million equal characters deflate about a thousandfold, close to
    // the bound the reader sizes its first buffer by.
    const std::u16string saved(1'000'000, u'x');
    for (const std::uint32_t original : {0xffffffffu, 2u, 2'000'002u}) {
        MemDataFile d;
        ASSERT_EQ(d.file->SaveEntry(kDay, u"", u"", saved), 1);
        const std::uint64_t unit = d.file->UnitsOfDate(kDay, {kKindPlainText}).at(0);
        const std::array<std::uint8_t, 4> size{
            static_cast<std::uint8_t>(original), static_cast<std::uint8_t>(original >> 8),
            static_cast<std::uint8_t>(original >> 16), static_cast<std::uint8_t>(original >> 24)};
        Patch(*d.file, unit, 24, size, d);
        std::u16string text;
        ASSERT_NE(d.file->ReadEntryText(kDay, text), 0u) << original;
        EXPECT_EQ(text, saved) << original;
    }
}

TEST(EntryRecords, ARichTextLongerThanItsStatedSizeReadsWhole) {
    MemDataFile d;
    const auto rtf = Bytes("{\\rtf1 " + std::string(3000, 'r') + "}");
    ASSERT_EQ(d.file->SaveEditorEntry(kDay, {u"t", u"", {}}, u"plain", rtf), 1);
    std::uint64_t unit = d.file->UnitsOfDate(kDay, {kKindRichText}).at(0);
    const std::vector<std::uint8_t> small{0x10, 0x00, 0x00, 0x00};
    Patch(*d.file, unit, 24, small, d);
    std::vector<std::uint8_t> back;
    ASSERT_NE(d.file->ReadEntryRichText(kDay, back), 0u);
    EXPECT_EQ(back, rtf);
}

TEST(EntryRecords, WeatherListDefaultsAndReplacement) {
    MemDataFile d;
    WeatherList list;
    EXPECT_EQ(d.file->ReadWeatherList(list), 0);
    EXPECT_EQ(d.file->EnsureWeatherList(), 1);
    ASSERT_EQ(d.file->ReadWeatherList(list), 1);
    EXPECT_EQ(list[0], u"Sunny");
    EXPECT_EQ(list[3], u"snow");
    EXPECT_EQ(list[4], u"");
    list[19] = u"a weather too long";
    ASSERT_EQ(d.file->WriteWeatherList(list), 1);
    WeatherList back;
    ASSERT_EQ(d.file->ReadWeatherList(back), 1);
    EXPECT_EQ(back[19], u"a weather ");
    KindCounts counts;
    ASSERT_EQ(d.file->CountByKind(counts), 1);
    EXPECT_EQ(counts[kKindWeatherList], 1u) << "one list in the file";
}

using testing::FaultyFileSystem;

TEST(EntryRecords, AFailedSaveAtEveryWriteKeepsThePreviousVersionWhole) {
    const EntryHeader oldHeader{u"old title", u"rain", {0xff, 0, 0, 1}};
    const std::u16string oldText = u"the old text " + std::u16string(300, u'o');
    const EntryHeader newHeader{u"new title", u"snow", {0, 1, 0xff00, 2}};
    const std::u16string newText = u"the new text " + std::u16string(900, u'n');
    bool sawSuccess = false;
    for (int n = 1; n < 40 && !sawSuccess; ++n) {
        for (bool fragmented : {false, true}) {
            MemDataFile base;
            FaultyFileSystem failing(base.fs);
            failing.kind = FileErrorKind::DiskFull;
            CDiaryDataFile f(failing, base.ui);
            f.SetPath(base.path);
            f.SetKey(DeriveDataFileKey());
            base.file->Close();
            ASSERT_EQ(f.Open(false), OpenResult::Opened);
            ASSERT_EQ(f.SaveEditorEntry(kDay, oldHeader, oldText, Bytes("{\\rtf1 old}")), 1);
            StickyNote note;
            note.date = kDay;
            note.text = u"call the school";
            ASSERT_EQ(f.SaveStickyNote(note), 1);
            if (fragmented) {
                // Free space before the entry, so new records land there.
                ASSERT_EQ(f.SaveEntry({2023, 1, 1}, u"", u"", std::u16string(2000, u'z')), 1);
                ASSERT_EQ(f.SaveEntry({2023, 1, 1}, u"", u"", u""), 1);
            }
            failing.arm(n);
            int saved = f.SaveEditorEntry(kDay, newHeader, newText, Bytes("{\\rtf1 new}"));
            failing.countdown = 0;
            f.Close();
            ASSERT_EQ(f.Open(false), OpenResult::Opened);
            ASSERT_EQ(f.Validate(), 1) << "write " << n;
            EntryHeader h;
            std::u16string text;
            std::vector<std::uint8_t> rtf;
            ASSERT_NE(f.ReadEntryHeader(kDay, &h), 0u) << "write " << n;
            ASSERT_NE(f.ReadEntryText(kDay, text), 0u) << "write " << n;
            ASSERT_NE(f.ReadEntryRichText(kDay, rtf), 0u) << "write " << n;
            // The note is no part of the entry: whole in either outcome.
            StickyNote kept;
            ASSERT_NE(f.FindStickyNote(kDay, &kept), 0u) << "write " << n;
            EXPECT_EQ(kept.text, note.text);
            EXPECT_EQ(f.UnitsOfDate(kDay, {kKindStickyNote}).size(), 1u);
            if (saved) {
                sawSuccess = true;
                EXPECT_EQ(h.title, newHeader.title);
                EXPECT_EQ(text, newText);
                EXPECT_EQ(rtf, Bytes("{\\rtf1 new}"));
            } else {
                EXPECT_EQ(h.title, oldHeader.title) << "write " << n;
                EXPECT_EQ(h.colors, oldHeader.colors);
                EXPECT_EQ(text, oldText) << "write " << n;
                EXPECT_EQ(rtf, Bytes("{\\rtf1 old}"));
                EXPECT_EQ(
                    f.UnitsOfDate(kDay, {kKindEntryHeader, kKindPlainText, kKindRichText}).size(),
                    3u)
                    << "the partial new records are freed";
            }
        }
    }
    EXPECT_TRUE(sawSuccess) << "the save needs fewer than 40 writes";
}

}  // namespace
}  // namespace tl::store
