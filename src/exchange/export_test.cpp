#include "export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "rtf/rtf_plain_text.h"
#include "store/record_images.h"
#include "store/record_layout.h"
#include "support/temp_dir.h"
#include "test_diary.h"

namespace tl::exchange {

using store::AttachmentImage;
using store::AttachmentSource;
using store::Image;
using store::NewImage;
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

std::string Utf16Le(std::u16string_view s) {
    std::string b;
    for (char16_t c : s) b += {static_cast<char>(c & 0xff), static_cast<char>(c >> 8)};
    return b;
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = testing::NewDiary(dir / "Mrlwbk31.dat", ui);
        fs::create_directories(out);
    }
    int exportAll(Encoding e, bool texts = true, bool attachments = true) {
        return ExportData(*file, out.string(), texts, attachments, "00000000", "99999999", e);
    }

    tl::testing::TempDir dir;
    tl::testing::RecordingUi ui;
    std::unique_ptr<store::CDiaryDataFile> file;
    fs::path out = dir / "out";
};

TEST_F(ExportTest, UnicodeDayHasHeaderLinesAndMonthNoteOnlyItsText) {
    ASSERT_EQ(file->SaveEntry({2024, 3, 5}, u"Trip", u"rain", u"We went."), 1);
    ASSERT_EQ(file->SaveEntry({2024, 3, 0}, u"", u"", u"March"), 1);
    ASSERT_EQ(exportAll(Encoding::Unicode), 1);
    EXPECT_EQ(ReadFile(out / "2024-03-05.txt"),
              Utf16Le(u"TITLE:Trip\r\nWEATHER:rain\r\n\r\nWe went.") + std::string(2, '\0'));
    EXPECT_EQ(ReadFile(out / "2024-03.txt"), Utf16Le(u"March") + std::string(2, '\0'));
}

TEST_F(ExportTest, ATextWithoutItsHeaderExportsAsAnUntitledEntry) {
    ASSERT_EQ(file->WriteRecord(*store::PlainTextImage({2024, 3, 7}, u"lost title")), 1);
    ASSERT_EQ(exportAll(Encoding::Unicode), 1);
    EXPECT_EQ(ReadFile(out / "2024-03-07.txt"),
              Utf16Le(u"TITLE:\r\nWEATHER:\r\n\r\nlost title") + std::string(2, '\0'));
}

TEST_F(ExportTest, AnsiReplacesMissingCharactersOneByOneAndKeepsTheRest) {
    ASSERT_EQ(file->SaveEntry({2024, 3, 5}, u"\u65e5\u8a18", u"", u"a\U0001F600b\u00e9c"), 1);
    ASSERT_EQ(exportAll(Encoding::Ansi), 1);
    EXPECT_EQ(ReadFile(out / "2024-03-05.txt"), "TITLE:\x93\xfa\x8b\x4c\r\nWEATHER:\r\n\r\na?b?c");
    ASSERT_EQ(ui.informations().size(), 1u);
    EXPECT_NE(ui.informations()[0].find("2 characters"), std::string::npos);
}

TEST_F(ExportTest, EmptyTextStillGivesTheHeaderLines) {
    ASSERT_EQ(file->SaveEntry({2024, 3, 5}, u"T", u"W", u""), 1);
    ASSERT_EQ(exportAll(Encoding::Ansi), 1);
    EXPECT_EQ(ReadFile(out / "2024-03-05.txt"), "TITLE:T\r\nWEATHER:W\r\n\r\n");
}

TEST_F(ExportTest, RichTextWritesHeaderOnlyTextAndTheRtfBesideIt) {
    const std::string rtf = "{\\rtf1 Hello\\par}";
    ASSERT_EQ(file->SaveEditorEntry(
                  {2024, 3, 5}, {u"T", u"W", {}}, u"Hello",
                  std::span(reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size())),
              1);
    const std::u16string plain = u"no rich {text}\r\n\u65e5\u8a18\tand \U0001F600\\";
    ASSERT_EQ(file->SaveEntry({2024, 3, 6}, u"Plain", u"", plain), 1);
    ASSERT_EQ(file->SaveEntry({2024, 3, 7}, u"Empty", u"", u""), 1);
    ASSERT_EQ(exportAll(Encoding::RichText), 1);
    EXPECT_EQ(ReadFile(out / "2024-03-05.txt"), "TITLE:T\r\nWEATHER:W\r\n\r\n");
    EXPECT_EQ(ReadFile(out / "2024-03-05.rtf"), rtf);
    // An entry with only a plain text gets its text written as RTF.
    EXPECT_EQ(rtf::RtfToPlainText(ReadFile(out / "2024-03-06.rtf")), plain);
    EXPECT_TRUE(fs::exists(out / "2024-03-07.rtf"));
    EXPECT_EQ(fs::file_size(out / "2024-03-07.rtf"), 0u);
}

TEST_F(ExportTest, OneUnitHeaderTitleComesFromItsOwnBytes) {
    Image header = NewImage(store::kKindEntryHeader, {2024, 3, 5}, 1);
    store::PutText(&header[store::kEhOneUnitTitle], store::kEhOneUnitTitleMax, u"Old form");
    store::PutText(&header[store::kEhWeather], store::kWeatherMax, u"snow");
    ASSERT_EQ(file->WriteRecord(header), 1);
    // A record right after it, whose first unit must not be taken for the
    // title.
    ASSERT_EQ(file->SaveEntry({2024, 3, 6}, u"Next", u"", u"x"), 1);
    ASSERT_EQ(exportAll(Encoding::Ansi), 1);
    EXPECT_EQ(ReadFile(out / "2024-03-05.txt"), "TITLE:Old form\r\nWEATHER:snow\r\n\r\n");
}

TEST_F(ExportTest, RangeSelectsEntriesAndAttachmentsByKey) {
    ASSERT_EQ(file->SaveEntry({2023, 12, 31}, u"", u"", u"old"), 1);
    ASSERT_EQ(file->SaveEntry({2024, 0, 0}, u"", u"", u"year"), 1);
    ASSERT_EQ(file->SaveEntry({2024, 5, 1}, u"", u"", u"in"), 1);
    testing::Attach(*file, {2023, 12, 31}, "x.bin", "x", dir / "scratch");
    ASSERT_EQ(ExportData(*file, out.string(), true, true, "20240000", "20249999", Encoding::Ansi),
              1);
    EXPECT_TRUE(fs::exists(out / "2024.txt"));
    EXPECT_TRUE(fs::exists(out / "2024-05-01.txt"));
    EXPECT_FALSE(fs::exists(out / "2023-12-31.txt"));
    EXPECT_FALSE(fs::exists(out / "2023-12-31"));
}

TEST_F(ExportTest, EqualNamesAreNumberedAndNeverOverwriteEachOther) {
    const store::Date d{2024, 3, 5};
    testing::Attach(*file, d, "a(2).txt", "stored a(2)", dir / "s1");
    testing::Attach(*file, d, "a.txt", "first", dir / "s2");
    testing::Attach(*file, d, "a.txt", "second", dir / "s3");
    ASSERT_EQ(exportAll(Encoding::Ansi, false, true), 1);
    const fs::path sub = out / "2024-03-05";
    EXPECT_EQ(ReadFile(sub / "a(2).txt"), "stored a(2)");
    EXPECT_EQ(ReadFile(sub / "a.txt"), "first");
    EXPECT_EQ(ReadFile(sub / "a(3).txt"), "second");
    EXPECT_EQ(NumberedName(u"archive.tar.gz", 2), u"archive.tar(2).gz");
    EXPECT_EQ(NumberedName(u"README", 3), u"README(3)");
}

TEST_F(ExportTest, TimesAndReadOnlyComeBackAndASecondExportReplacesThem) {
    const store::Date d{2024, 3, 5};
    fs::create_directories(dir / "s");
    testing::WriteFile(dir / "s" / "ro.txt", "locked");
    ::chmod((dir / "s" / "ro.txt").c_str(), 0444);
    ASSERT_TRUE(
        store::ApplyFileTimes((dir / "s" / "ro.txt").string(), {0, 1000000000, 1000000000}));
    ASSERT_EQ(file->AttachFile((dir / "s" / "ro.txt").string(), d, 1), 1);
    ASSERT_EQ(exportAll(Encoding::Ansi), 1);
    const fs::path exported = out / "2024-03-05" / "ro.txt";
    struct stat st {};
    ASSERT_EQ(::stat(exported.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1000000000);
    EXPECT_EQ(st.st_mode & S_IWUSR, 0u);
    ASSERT_EQ(exportAll(Encoding::Ansi), 1);
    EXPECT_EQ(ReadFile(exported), "locked");
    EXPECT_TRUE(ui.warnings().empty());
}

TEST_F(ExportTest, NothingIsWrittenThroughLinksOrOutsideTheFolder) {
    const fs::path outside = dir / "outside";
    fs::create_directories(outside);
    testing::WriteFile(outside / "victim", "keep");
    fs::create_symlink(outside / "victim", out / "2024-03-05.txt");
    ASSERT_EQ(file->SaveEntry({2024, 3, 5}, u"", u"", u"text"), 1);
    // A stored name that tries to climb out of its subfolder.
    AttachmentSource s{{2024, 3, 6}, 1, u"../../escape", {}, {'x'}};
    ASSERT_EQ(file->WriteRecord(*AttachmentImage(s)), 1);
    ASSERT_EQ(exportAll(Encoding::Ansi), 1);
    EXPECT_EQ(ReadFile(outside / "victim"), "keep");
    EXPECT_FALSE(fs::is_symlink(out / "2024-03-05.txt"));
    EXPECT_EQ(ReadFile(out / "2024-03-05.txt"), "TITLE:\r\nWEATHER:\r\n\r\ntext");
    EXPECT_EQ(ReadFile(out / "2024-03-06" / ".._.._escape"), "x");
    EXPECT_FALSE(fs::exists(dir / "escape"));

    // A subfolder that is a link to elsewhere is not written into.
    fs::create_directory_symlink(outside, out / "2024-03-07");
    testing::Attach(*file, {2024, 3, 7}, "b.txt", "b", dir / "scratch");
    EXPECT_EQ(exportAll(Encoding::Ansi), 0);
    EXPECT_FALSE(fs::exists(outside / "b.txt"));
}

TEST_F(ExportTest, CancelStopsWithTheAbortMessage) {
    for (int day = 1; day <= 5; ++day)
        ASSERT_EQ(file->SaveEntry({2024, 3, static_cast<std::uint8_t>(day)}, u"", u"", u"t"), 1);
    ui.cancelAtStep(2);
    EXPECT_EQ(exportAll(Encoding::Ansi), 2);
    EXPECT_EQ(ui.informations(), std::vector<std::string>{"Processing was aborted."});
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 2);
}

TEST_F(ExportTest, DamagedAttachmentAsksAndNoStops) {
    testing::Attach(*file, {2024, 3, 5}, "a.txt", std::string(4000, 'a'), dir / "s");
    // Break the stored stream: flip data bytes of the attachment's record.
    store::AttachmentInfo info;
    ASSERT_NE(file->FindAttachment(0, {2024, 3, 5}, 1, &info), 0u);
    auto raw = testing::ReadFile(dir / "Mrlwbk31.dat");
    for (std::size_t i = 0; i < 16; ++i) raw[(info.unit + 5) * store::kUnitSize + i] ^= 0x55;
    file->Close();
    testing::WriteFile(dir / "Mrlwbk31.dat", raw);
    file = testing::OpenDiary(dir / "Mrlwbk31.dat", ui);
    ui.answer(res::Answer::No);
    EXPECT_EQ(exportAll(Encoding::Ansi), 0);
    ASSERT_FALSE(ui.events().empty());
    bool asked = false;
    for (const auto& e : ui.events())
        asked |= e.kind == "ask" && e.text.find("(3-5-2024)") != std::string::npos;
    EXPECT_TRUE(asked);
}

TEST_F(ExportTest, RunExportCountsAsksAndTells) {
    EXPECT_EQ(RunExport(*file, {out.string()}), 0);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"No data to be exported."});
    ASSERT_EQ(file->SaveEntry({2024, 3, 5}, u"", u"", u"t"), 1);
    ui.clear();
    ui.answer(res::Answer::Yes);
    EXPECT_EQ(RunExport(*file, {out.string()}), 1);
    EXPECT_EQ(ui.events().front().text,
              "Diaries:1\n\nwill be exported.\n\nAre you sure you want to start the export?");
    EXPECT_EQ(ui.informations().back(), "Export has been completed.");
}

}  // namespace
}  // namespace tl::exchange
