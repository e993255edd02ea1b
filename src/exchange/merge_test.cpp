#include "merge.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "store/data_file_key.h"
#include "store/file_copy.h"
#include "store/record_images.h"
#include "store/record_layout.h"
#include "support/temp_dir.h"
#include "test_diary.h"

namespace tl::exchange {

using store::Image;
using store::NewImage;
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

std::u16string Text(store::CDiaryDataFile& f, store::Date d) {
    return testing::TextOf(f, d);
}
std::u16string Title(store::CDiaryDataFile& f, store::Date d) {
    return testing::HeaderOf(f, d).title;
}

store::StickyNote Note(store::Date d, std::u16string text) {
    store::StickyNote n;
    n.date = d;
    n.text = std::move(text);
    return n;
}

class MergeTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "own");
        fs::create_directories(dir / "src");
        own = testing::NewDiary(ownPath, ui);
        source = testing::NewDiary(sourcePath, sourceUi);
    }
    // Closes the source (merge opens it itself) and merges.
    int merge(bool emptyAfter = false, PasswordPrompt prompt = {}) {
        source.reset();
        return RunMerge(*own, (dir / "src").string(), emptyAfter, prompt);
    }

    tl::testing::TempDir dir;
    tl::testing::RecordingUi ui, sourceUi;
    fs::path ownPath = dir / "own" / "Mrlwbk31.dat";
    fs::path sourcePath = dir / "src" / "Mrlwbk31.dat";
    std::unique_ptr<store::CDiaryDataFile> own, source;
};

TEST_F(MergeTest, ReplacesEntriesByDateAndAttachmentsByDateAndOrder) {
    const store::Date d{2024, 3, 5};
    ASSERT_EQ(own->SaveEntry(d, u"own", u"", u"own text"), 1);
    ASSERT_EQ(own->SaveStickyNote(Note(d, u"own note")), 1);
    ASSERT_EQ(own->SaveEntry({2024, 3, 6}, u"untouched", u"", u"stays"), 1);
    for (const char* n : {"o1.txt", "o2.txt", "o3.txt"}) testing::Attach(*own, d, n, n, dir / "s");
    const std::string rtf = "{\\rtf1 src}";
    ASSERT_EQ(source->SaveEditorEntry(
                  d, {u"src", u"sun", {}}, u"src text",
                  std::span(reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size())),
              1);
    ASSERT_EQ(source->SaveStickyNote(Note(d, u"src note")), 1);
    testing::Attach(*source, d, "s1.txt", "s1", dir / "s");
    testing::Attach(*source, d, "s2.txt", "s2", dir / "s");
    ui.answer(res::Answer::Yes);
    ASSERT_EQ(merge(), 1);
    EXPECT_EQ(ui.informations().back(), "Merge is complete.");
    EXPECT_EQ(Title(*own, d), u"src");
    EXPECT_EQ(Text(*own, d), u"src text");
    std::vector<std::uint8_t> rich;
    ASSERT_NE(own->ReadEntryRichText(d, rich), 0u);
    EXPECT_EQ(std::string(rich.begin(), rich.end()), rtf);
    store::StickyNote note;
    ASSERT_NE(own->FindStickyNote(d, &note), 0u);
    EXPECT_EQ(note.text, u"src note");
    EXPECT_EQ(Text(*own, {2024, 3, 6}), u"stays");
    std::map<std::uint32_t, std::u16string> byOrder;
    for (const auto& a : own->ListAttachments(d)) byOrder[a.order] += a.name;
    EXPECT_EQ(byOrder, (std::map<std::uint32_t, std::u16string>{
                           {1, u"s1.txt"}, {2, u"s2.txt"}, {3, u"o3.txt"}}));
    EXPECT_FALSE(fs::exists(WorkCopyPath(ownPath.string())));
}

TEST_F(MergeTest, OneUnitHeaderArrivesAsTwoUnitsAndOldDatesStayBehind) {
    Image header = NewImage(store::kKindEntryHeader, {2024, 3, 5}, 1);
    store::PutText(&header[store::kEhOneUnitTitle], store::kEhOneUnitTitleMax, u"Old form title");
    ASSERT_EQ(source->WriteRecord(header), 1);
    ASSERT_EQ(source->SaveEntry({1899, 12, 31}, u"too old", u"", u"x"), 1);
    ui.answer(res::Answer::Yes);
    ASSERT_EQ(merge(), 1);
    EXPECT_EQ(Title(*own, {2024, 3, 5}), u"Old form title");
    store::RecordHeader h;
    ASSERT_NE(own->FindNext(store::kKindEntryHeader, 0, &h), 0u);
    EXPECT_EQ(h.units(), 2u);
    EXPECT_EQ(own->ReadEntryHeader({1899, 12, 31}), 0u);
}

TEST_F(MergeTest, EmptyAfterLeavesTheSourceItsHeaderWeatherAndLength) {
    ASSERT_EQ(source->EnsureWeatherList(), 1);
    ASSERT_EQ(source->SaveEntry({2024, 3, 5}, u"t", u"", u"moved"), 1);
    testing::Attach(*source, {2024, 3, 5}, "a.txt", "a", dir / "s");
    const auto length = fs::file_size(sourcePath);
    ui.answer(res::Answer::Yes);
    ASSERT_EQ(merge(true), 1);
    EXPECT_EQ(Text(*own, {2024, 3, 5}), u"moved");
    EXPECT_EQ(fs::file_size(sourcePath), length);
    auto emptied = testing::OpenDiary(sourcePath, sourceUi, true);
    store::KindCounts counts{};
    ASSERT_EQ(emptied->CountByKind(counts), 1);
    for (int k = store::kKindEntryHeader; k <= store::kKindRichText; ++k)
        EXPECT_EQ(counts[k], 0u) << k;
    EXPECT_EQ(counts[store::kKindWeatherList], 1u);
}

TEST_F(MergeTest, CancelLeavesTheOwnFileExactlyAsItWas) {
    ASSERT_EQ(own->SaveEntry({2024, 1, 1}, u"own", u"", u"own"), 1);
    for (int day = 1; day <= 5; ++day)
        ASSERT_EQ(source->SaveEntry({2024, 2, static_cast<std::uint8_t>(day)}, u"", u"", u"s"), 1);
    own->Close();
    const std::string before = ReadFile(ownPath);
    ASSERT_EQ(own->Open(false), store::OpenResult::Opened);
    ui.answer(res::Answer::Yes);
    ui.cancelAtStep(3);
    EXPECT_EQ(merge(), 2);
    EXPECT_EQ(ui.informations().back(), "Processing was aborted.");
    own->Close();
    EXPECT_EQ(ReadFile(ownPath), before);
    EXPECT_FALSE(fs::exists(WorkCopyPath(ownPath.string())));
}

TEST_F(MergeTest, ATextWhoseHeaderIsGoneArrivesAsAnUntitledEntry) {
    // The source's text of a date whose header is gone reads as an
    // untitled entry: it replaces the own entry like any other.
    ASSERT_EQ(own->SaveEntry({2024, 3, 5}, u"own", u"", u"own text"), 1);
    ASSERT_EQ(source->SaveEntry({2024, 3, 5}, u"src", u"", u"src text"), 1);
    source->FreeRecord(source->ReadEntryHeader({2024, 3, 5}));
    ASSERT_EQ(source->SaveEntry({2024, 3, 6}, u"other", u"", u"x"), 1);
    ui.answer(res::Answer::Yes);
    EXPECT_EQ(merge(), 1);
    EXPECT_EQ(Title(*own, {2024, 3, 5}), u"");
    EXPECT_NE(own->ReadEntryHeader({2024, 3, 5}), 0u);
    EXPECT_EQ(Text(*own, {2024, 3, 5}), u"src text");
    EXPECT_EQ(Title(*own, {2024, 3, 6}), u"other");
}

TEST_F(MergeTest, RefusedSourcesSayWhy) {
    // Empty.
    EXPECT_EQ(merge(), 0);
    EXPECT_EQ(ui.warnings(),
              (std::vector<std::string>{"Merge diary data is empty.", "Merge failure."}));
    // Damaged.
    testing::WriteFile(sourcePath, std::string(256, 'x'));
    ui.clear();
    EXPECT_EQ(merge(), 0);
    EXPECT_EQ(ui.warnings().front(), "Diary data is incorrect.");
    // Missing.
    fs::remove(sourcePath);
    ui.clear();
    EXPECT_EQ(merge(), 0);
    EXPECT_EQ(ui.warnings().front(), "Merge diary data can not be found.");
    // The own file itself.
    ui.clear();
    EXPECT_EQ(RunMerge(*own, (dir / "own").string(), false, {}), 0);
    EXPECT_EQ(ui.warnings().front(), "Merge not to itself.");
    EXPECT_TRUE(own->IsOpen());
}

TEST_F(MergeTest, ReadOnlySourceCannotBeEmptiedAndReadOnlyOwnFileIsNotChanged) {
    ASSERT_EQ(source->SaveEntry({2024, 3, 5}, u"t", u"", u"x"), 1);
    source.reset();
    ::chmod(sourcePath.c_str(), 0444);
    EXPECT_EQ(merge(true), 0);
    EXPECT_EQ(ui.warnings().front(), "Merge diary data is write-protected.");
    ::chmod(sourcePath.c_str(), 0644);

    own->Close();
    ::chmod(ownPath.c_str(), 0444);
    ASSERT_EQ(own->Open(false), store::OpenResult::Opened);
    ui.clear();
    EXPECT_EQ(merge(), 0);
    EXPECT_EQ(ui.warnings().front(), "This diary data is read-only.");
    EXPECT_EQ(own->ReadEntryHeader({2024, 3, 5}), 0u);
}

TEST_F(MergeTest, PasswordOfTheSourceIsAskedThreeTimes) {
    ASSERT_EQ(source->SetPassword(u"secret"), 1);
    ASSERT_EQ(source->SaveEntry({2024, 3, 5}, u"t", u"", u"x"), 1);
    source.reset();
    int asked = 0;
    ui.answer(res::Answer::Yes);
    EXPECT_EQ(RunMerge(*own, (dir / "src").string(), false,
                       [&] {
                           ++asked;
                           return std::u16string(u"wrong");
                       }),
              0);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(own->ReadEntryHeader({2024, 3, 5}), 0u);
    ui.answer(res::Answer::Yes);
    EXPECT_EQ(
        RunMerge(*own, (dir / "src").string(), false, [] { return std::u16string(u"secret"); }), 1);
    EXPECT_NE(own->ReadEntryHeader({2024, 3, 5}), 0u);
}

// Another program writing while the merge works: at the question and at
// every progress step it tries to save an entry of its own.
class IntrudingUi final : public res::UserInterface {
public:
    using UserInterface::inform;
    using UserInterface::warn;
    IntrudingUi(res::UserInterface& ui, fs::path path) : m_ui(ui), m_path(std::move(path)) {}

    void warn(std::string_view text) override { m_ui.warn(text); }
    void inform(std::string_view text) override { m_ui.inform(text); }
    bool askYesNo(std::string_view text) override {
        intrude();
        return m_ui.askYesNo(text);
    }
    res::Answer askYesNoCancel(std::string_view text) override { return m_ui.askYesNoCancel(text); }
    void openProgress(std::string_view title) override { m_ui.openProgress(title); }
    bool stepProgress(int percent) override {
        intrude();
        return m_ui.stepProgress(percent);
    }
    void closeProgress() override { m_ui.closeProgress(); }

    int accepted = 0, tries = 0;

private:
    void intrude() {
        ++tries;
        store::CDiaryDataFile other;
        other.SetPath(m_path.string());
        other.SetKey(store::DeriveDataFileKey());
        if (other.Open(false) != store::OpenResult::Opened) return;
        const store::Date d{2023, 1, static_cast<std::uint8_t>(1 + accepted)};
        if (other.SaveEntry(d, u"other", u"", u"written meanwhile") == 1) ++accepted;
    }
    res::UserInterface& m_ui;
    fs::path m_path;
};

TEST_F(MergeTest, AnotherWriterIsRefusedWhileTheMergeWorks) {
    ASSERT_EQ(source->SaveEntry({2024, 3, 5}, u"src", u"", u"merged"), 1);
    IntrudingUi intruder(ui, ownPath);
    own->SetUserInterface(intruder);
    ui.answer(res::Answer::Yes);
    ASSERT_EQ(merge(), 1);
    ASSERT_GT(intruder.tries, 1);
    // Whatever another writer was told was saved must still be there.
    for (int i = 0; i < intruder.accepted; ++i)
        EXPECT_EQ(Title(*own, {2023, 1, static_cast<std::uint8_t>(1 + i)}), u"other") << i;
    EXPECT_EQ(intruder.accepted, 0) << "the own file was not held during the merge";
    EXPECT_EQ(Title(*own, {2024, 3, 5}), u"src");
}

TEST_F(MergeTest, CopyAsksBeforeReplacingAndCancelLeavesNothingHalfDone) {
    ASSERT_EQ(own->SaveEntry({2024, 3, 5}, u"t", u"", u"x"), 1);
    const fs::path target = dir / "src" / "Mrlwbk31.dat";
    source.reset();
    const std::string before = ReadFile(target);
    ui.answer(res::Answer::No);
    EXPECT_EQ(RunCopy(*own, (dir / "src").string()), 0);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"Copy failure"});
    EXPECT_EQ(ReadFile(target), before);
    ui.answer(res::Answer::Yes);
    ui.cancelAtStep(1);
    ui.clear();
    EXPECT_EQ(RunCopy(*own, (dir / "src").string()), 2);
    // "Aborted." once, and no failure after it.
    EXPECT_EQ(ui.informations(), std::vector<std::string>{"Aborted."});
    EXPECT_TRUE(ui.warnings().empty());
    EXPECT_EQ(ReadFile(target), before);
    EXPECT_FALSE(fs::exists(store::PartialName(target.string())));
    ui.cancelAtStep(0);
    ui.answer(res::Answer::Yes);
    EXPECT_EQ(RunCopy(*own, (dir / "src").string()), 1);
    EXPECT_EQ(ReadFile(target), ReadFile(ownPath));
    EXPECT_TRUE(own->IsOpen());
}

}  // namespace
}  // namespace tl::exchange
