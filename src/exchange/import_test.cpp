#include "import.h"

#include <gtest/gtest.h>

#include <random>

#include "store/codepage.h"
#include "store/data_file_key.h"
#include "support/faulty_file_system.h"
#include "support/sync_counting_file_system.h"
#include "support/temp_dir.h"
#include "test_diary.h"

namespace tl::exchange {
namespace {

namespace fs = std::filesystem;
using testing::WriteFile;

std::u16string Text(store::CDiaryDataFile& f, store::Date d) {
    return testing::TextOf(f, d);
}
store::EntryHeader Header(store::CDiaryDataFile& f, store::Date d) {
    return testing::HeaderOf(f, d);
}

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = testing::NewDiary(dir / "Mrlwbk31.dat", ui);
        fs::create_directories(in);
    }
    tl::testing::TempDir dir;
    tl::testing::RecordingUi ui;
    std::unique_ptr<store::CDiaryDataFile> file;
    fs::path in = dir / "in";
};

TEST_F(ImportTest, OnlyValidDateNamesAreImported) {
    for (const char* name :
         {"2024-03-05.txt", "2024-03.txt", "2024.txt", "2024-02-29.txt", "notes.txt",
          "1899-12-31.txt", "2023-02-29.txt", "2024-3-5.txt", "2024-03-06.txt.bak"})
        WriteFile(in / name, std::string("x ") + name);
    fs::create_directories(in / "2023-02-29");
    WriteFile(in / "2023-02-29" / "a.txt", "a");
    EXPECT_EQ(CountImportTexts(in.string()), 4u);
    EXPECT_EQ(CountImportAttachments(in.string()), 0u);
    ASSERT_EQ(ImportData(*file, in.string(), Encoding::Ansi), 1);
    EXPECT_EQ(Text(*file, {2024, 3, 5}), u"x 2024-03-05.txt");
    EXPECT_EQ(Text(*file, {2024, 3, 0}), u"x 2024-03.txt");
    EXPECT_EQ(Text(*file, {2024, 0, 0}), u"x 2024.txt");
    EXPECT_EQ(Text(*file, {2024, 2, 29}), u"x 2024-02-29.txt");
    EXPECT_EQ(file->ReadEntryHeader({2023, 2, 28}), 0u);
    EXPECT_EQ(file->ReadEntryHeader({2024, 3, 6}), 0u);
}

TEST_F(ImportTest, HeaderLinesOnlyWhenBothArePresent) {
    WriteFile(in / "2024-03-05.txt", "TITLE:Trip\r\nWe walked.");
    WriteFile(in / "2024-03-06.txt", "Just text\nsecond line");
    WriteFile(in / "2024-03-07.txt", "TITLE:T\nWEATHER:rain\n\nbody\r\n");
    ASSERT_EQ(ImportData(*file, in.string(), Encoding::Ansi), 1);
    EXPECT_EQ(Header(*file, {2024, 3, 5}).title, u"Trip");
    EXPECT_EQ(Header(*file, {2024, 3, 5}).weather, u"");
    EXPECT_EQ(Text(*file, {2024, 3, 5}), u"TITLE:Trip\r\nWe walked.");
    EXPECT_EQ(Header(*file, {2024, 3, 6}).title, u"");
    EXPECT_EQ(Text(*file, {2024, 3, 6}), u"Just text\nsecond line");
    EXPECT_EQ(Header(*file, {2024, 3, 7}).weather, u"rain");
    EXPECT_EQ(Text(*file, {2024, 3, 7}), u"body\r\n");
}

TEST_F(ImportTest, ReplacesTheEntryDropsRichTextAndNoteKeepsAttachments) {
    const store::Date d{2024, 3, 5};
    const std::string rtf = "{\\rtf1 old}";
    ASSERT_EQ(file->SaveEditorEntry(
                  d, {u"old", u"", {}}, u"old",
                  std::span(reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size())),
              1);
    store::StickyNote note;
    note.date = d;
    note.text = u"note";
    ASSERT_EQ(file->SaveStickyNote(note), 1);
    testing::Attach(*file, d, "kept.txt", "kept", dir / "s");
    WriteFile(in / "2024-03-05.txt", "new text");
    fs::create_directories(in / "2024-03-05");
    WriteFile(in / "2024-03-05" / "photo.jpg", "jpeg bytes");
    WriteFile(in / "2024-03-05" / "kept.txt", "other bytes, same name");
    ASSERT_EQ(ImportData(*file, in.string(), Encoding::Ansi), 1);
    EXPECT_EQ(Text(*file, d), u"new text");
    std::vector<std::uint8_t> rich;
    EXPECT_EQ(file->ReadEntryRichText(d, rich), 0u);
    EXPECT_EQ(file->FindStickyNote(d), 0u);
    auto list = file->ListAttachments(d);
    ASSERT_EQ(list.size(), 2u);
    const auto photo =
        std::find_if(list.begin(), list.end(), [](auto& a) { return a.name == u"photo.jpg"; });
    ASSERT_NE(photo, list.end());
    EXPECT_EQ(photo->order, 2u);
    // A second import adds nothing: the names exist.
    ASSERT_EQ(ImportData(*file, in.string(), Encoding::Ansi), 1);
    EXPECT_EQ(file->ListAttachments(d).size(), 2u);
}

TEST_F(ImportTest, EmptyFileDeletesTheEntryAndOtherFilesStillCome) {
    ASSERT_EQ(file->SaveEntry({2024, 3, 5}, u"t", u"", u"x"), 1);
    WriteFile(in / "2024-03-05.txt", "");
    WriteFile(in / "2024-03-06.txt", "kept");
    ASSERT_EQ(ImportData(*file, in.string(), Encoding::Unicode), 1);
    EXPECT_EQ(file->ReadEntryHeader({2024, 3, 5}), 0u);
    EXPECT_EQ(Text(*file, {2024, 3, 6}),
              std::u16string(1, static_cast<char16_t>('k' | ('e' << 8))) +
                  static_cast<char16_t>('p' | ('t' << 8)));
}

TEST_F(ImportTest, RichTextFolderKeepsTheTextAndTheRichText) {
    const std::string rtf = "{\\rtf1\\ansi First line\\par Second\\par}";
    WriteFile(in / "2024-03-05.txt", "TITLE:T\r\nWEATHER:W\r\n\r\n");
    WriteFile(in / "2024-03-05.rtf", rtf);
    WriteFile(in / "2024-03.txt", "");
    WriteFile(in / "2024-03.rtf", "{\\rtf1 Month}");
    ASSERT_EQ(ImportData(*file, in.string(), Encoding::RichText), 1);
    EXPECT_EQ(Header(*file, {2024, 3, 5}).title, u"T");
    EXPECT_EQ(Text(*file, {2024, 3, 5}), u"First line\r\nSecond");
    std::vector<std::uint8_t> rich;
    ASSERT_NE(file->ReadEntryRichText({2024, 3, 5}, rich), 0u);
    EXPECT_EQ(std::string(rich.begin(), rich.end()), rtf);
    EXPECT_EQ(Text(*file, {2024, 3, 0}), u"Month");
}

TEST_F(ImportTest, LinksAreNotFollowed) {
    const fs::path outside = dir / "outside";
    fs::create_directories(outside);
    WriteFile(outside / "secret", "secret");
    fs::create_symlink(outside / "secret", in / "2024-03-05.txt");
    fs::create_directory_symlink(outside, in / "2024-03-06");
    fs::create_directories(in / "2024-03-07");
    fs::create_symlink(outside / "secret", in / "2024-03-07" / "link.txt");
    EXPECT_EQ(CountImportTexts(in.string()) + CountImportAttachments(in.string()), 0u);
    ASSERT_EQ(ImportData(*file, in.string(), Encoding::Ansi), 1);
    EXPECT_EQ(file->ReadEntryHeader({2024, 3, 5}), 0u);
    EXPECT_TRUE(file->ListAttachments({2024, 3, 6}).empty());
    EXPECT_TRUE(file->ListAttachments({2024, 3, 7}).empty());
}

TEST_F(ImportTest, BulkImportSyncsPerBatchNotPerItem) {
    for (int day = 1; day <= 28; ++day) {
        char name[32];
        std::snprintf(name, sizeof name, "2024-02-%02d", day);
        WriteFile(in / (std::string(name) + ".txt"), "day " + std::to_string(day));
        fs::create_directories(in / name);
        WriteFile(in / name / "a.bin", std::string(300, static_cast<char>(day)));
    }
    tl::testing::SyncCountingFileSystem counting(store::PosixFileSystem::instance());
    store::CDiaryDataFile counted(counting, ui);
    counted.SetPath((dir / "Mrlwbk31.dat").string());
    counted.SetKey(store::DeriveDataFileKey());
    file->Close();
    ASSERT_EQ(counted.Open(false), store::OpenResult::Opened);
    ASSERT_EQ(ImportData(counted, in.string(), Encoding::Ansi), 1);
    // 56 items are one batch: its new records, their commit, their
    // appearance and the old records' going each reach the disk once.
    EXPECT_LE(counting.syncs, 4);
    EXPECT_EQ(counted.ListAttachments({2024, 2, 17}).size(), 1u);
    EXPECT_EQ(Text(counted, {2024, 2, 28}), u"day 28");
}

TEST_F(ImportTest, CancelKeepsWhatWasImported) {
    for (int day = 1; day <= 9; ++day)
        WriteFile(in / ("2024-03-0" + std::to_string(day) + ".txt"), "t");
    // By percent: while the workers are busy the import steps without a
    // new item, so the number of steps before the third item varies.
    ui.cancelAtPercent(30);
    EXPECT_EQ(ImportData(*file, in.string(), Encoding::Ansi), 2);
    EXPECT_EQ(ui.informations(), std::vector<std::string>{"Processing was aborted."});
    EXPECT_NE(file->ReadEntryHeader({2024, 3, 3}), 0u);
    EXPECT_EQ(file->ReadEntryHeader({2024, 3, 4}), 0u);
    EXPECT_EQ(file->ReadEntryHeader({2024, 3, 9}), 0u);
}

TEST_F(ImportTest, AFullDiskKeepsTheMessagesButCountsTheItemsThatFailed) {
    WriteFile(in / "2024-03-05.txt", "first");
    WriteFile(in / "2024-03-06.txt", "second");
    fs::create_directories(in / "2024-03-05");
    std::mt19937 random(7);
    std::string noise(40'000, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    for (const char* name : {"a.bin", "b.bin", "c.bin"}) WriteFile(in / "2024-03-05" / name, noise);

    tl::testing::FaultyFileSystem full(store::PosixFileSystem::instance());
    store::CDiaryDataFile disk(full, ui);
    disk.SetPath((dir / "Mrlwbk31.dat").string());
    disk.SetKey(store::DeriveDataFileKey());
    file->Close();
    ASSERT_EQ(disk.Open(false), store::OpenResult::Opened);
    // Room for the texts and about one attachment.
    full.capacity = fs::file_size(dir / "Mrlwbk31.dat") + 60'000;
    ui.answer(res::Answer::Yes);
    std::uint64_t failed = 0;
    EXPECT_EQ(RunImport(disk, in.string(), Encoding::Ansi, &failed), 1);
    const auto warnings = ui.warnings();
    EXPECT_NE(std::find(warnings.begin(), warnings.end(), "Disk is full."), warnings.end());
    EXPECT_EQ(ui.informations().back(), "Import has been completed.");
    const std::size_t attached = disk.ListAttachments({2024, 3, 5}).size();
    EXPECT_EQ(Text(disk, {2024, 3, 6}), u"second");
    EXPECT_LT(attached, 3u);
    EXPECT_EQ(failed, 3 - attached) << "each attachment that is missing counts";
    full.capacity = UINT64_MAX;
    EXPECT_EQ(disk.Validate(), 1);
}

TEST_F(ImportTest, RunImportTellsWhenThereIsNothing) {
    EXPECT_EQ(RunImport(*file, in.string(), Encoding::Ansi), 0);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"There is no data to be imported."});
}

// A small diary with what a round trip must carry: days, month and year
// notes, texts with CRLF and Japanese, and attachments of equal names.
void FillDiary(store::CDiaryDataFile& f, const fs::path& scratch) {
    ASSERT_EQ(f.SaveEntry({2024, 0, 0}, u"", u"", u"The year \u5e74"), 1);
    ASSERT_EQ(f.SaveEntry({2024, 3, 0}, u"", u"", u"March\r\nplans"), 1);
    ASSERT_EQ(
        f.SaveEntry({2024, 3, 5}, u"Trip \u65c5", u"rain", u"Line 1\r\n\r\nLine 3 \u6674\u308c"),
        1);
    ASSERT_EQ(f.SaveEntry({2024, 3, 6}, u"Only title", u"", u""), 1);
    ASSERT_EQ(f.SaveEntry({1999, 12, 31}, u"", u"snow", u"end"), 1);
    testing::Attach(f, {2024, 3, 5}, "a.txt", "first a", scratch / "1");
    testing::Attach(f, {2024, 3, 5}, "a.txt", "second a", scratch / "2");
    testing::Attach(f, {2024, 3, 5}, "photo.zip", std::string(5000, 'z'), scratch / "3");
    testing::Attach(f, {2024, 3, 0}, "plan.csv", "a,b\n1,2\n", scratch / "4");
}

TEST_F(ImportTest, UnicodeRoundTripKeepsEveryTitleWeatherTextAndAttachment) {
    FillDiary(*file, dir / "scratch");
    ASSERT_EQ(ExportData(*file, in.string(), true, true, "00000000", "99999999", Encoding::Unicode),
              1);
    auto copy = testing::NewDiary(dir / "copy.dat", ui);
    ASSERT_EQ(ImportData(*copy, in.string(), Encoding::Unicode), 1);
    EXPECT_EQ(testing::Take(*copy), testing::Take(*file));
    EXPECT_TRUE(ui.warnings().empty());
}

TEST_F(ImportTest, AnsiRoundTripOfCodePageText) {
    FillDiary(*file, dir / "scratch");
    ASSERT_EQ(ExportData(*file, in.string(), true, false, "00000000", "99999999", Encoding::Ansi),
              1);
    auto copy = testing::NewDiary(dir / "copy.dat", ui);
    ASSERT_EQ(ImportData(*copy, in.string(), Encoding::Ansi), 1);
    EXPECT_EQ(testing::Take(*copy).entries, testing::Take(*file).entries);
}

}  // namespace
}  // namespace tl::exchange
