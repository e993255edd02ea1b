#include "maintenance.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "store/record_images.h"
#include "store/record_layout.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace tl::app {
namespace {

namespace fs = std::filesystem;
using Records = std::vector<std::vector<std::uint8_t>>;

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MaintenanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(fresh);
        file = std::make_unique<store::CDiaryDataFile>(store::PosixFileSystem::instance(), ui);
        file->SetPath(path.string());
        file->SetKey(store::DeriveDataFileKey());
        ASSERT_EQ(file->Create(), 1);
        reopen();
    }
    void reopen() {
        ASSERT_EQ(file->Open(false), store::OpenResult::Opened);
        ASSERT_EQ(file->Validate(), 1);
    }
    // Every live record, deciphered, in file order.
    Records live() {
        Records out;
        store::RecordWalk walk(*file, 1);
        store::RecordRef rec;
        while (walk.next(rec)) {
            if (rec.header.kind() == store::kKindFree) continue;
            std::vector<std::uint8_t> bytes(rec.header.units() * store::kUnitSize);
            EXPECT_EQ(file->ReadBytes(rec.unit, bytes.data(), bytes.size()), bytes.size());
            out.push_back(std::move(bytes));
        }
        return out;
    }
    int freeRecords() {
        store::KindCounts c{};
        EXPECT_EQ(file->CountByKind(c), 1);
        return static_cast<int>(c[store::kKindFree]);
    }
    void fill() {
        for (int day = 1; day <= 20; ++day) {
            const store::Date d{2024, 3, static_cast<std::uint8_t>(day)};
            ASSERT_EQ(file->SaveEntry(d, u"t", u"w",
                                      std::u16string(200, static_cast<char16_t>(u'a' + day))),
                      1);
        }
        // Saving every second day again leaves its old records free.
        for (int day = 2; day <= 20; day += 2)
            ASSERT_EQ(file->SaveEntry({2024, 3, static_cast<std::uint8_t>(day)}, u"again", u"",
                                      u"second"),
                      1);
        store::StickyNote note;
        note.date = {2024, 3, 1};
        note.text = u"note";
        ASSERT_EQ(file->SaveStickyNote(note), 1);
        ASSERT_EQ(file->EnsureWeatherList(), 1);
        // Deleted entries leave free records behind.
        for (int day = 3; day <= 20; day += 4)
            ASSERT_EQ(file->SaveEntry({2024, 3, static_cast<std::uint8_t>(day)}, u"", u"", u""), 1);
    }

    tl::testing::TempDir dir;
    tl::testing::RecordingUi ui;
    fs::path path = dir / "Mrlwbk31.dat";
    fs::path fresh = dir / "default";
    std::unique_ptr<store::CDiaryDataFile> file;
};

TEST_F(MaintenanceTest, OptimisationKeepsLiveRecordsInOrderAndDropsFreeOnes) {
    fill();
    ASSERT_EQ(file->SetPassword(u"pw"), 1);
    ASSERT_GT(freeRecords(), 0);
    const Records before = live();
    const auto sizeBefore = fs::file_size(path);
    file->Close();
    ASSERT_EQ(OptimiseDataFile(path.string(), fresh.string(), ui), 1);
    reopen();
    EXPECT_EQ(live(), before);
    EXPECT_EQ(freeRecords(), 0);
    EXPECT_LT(fs::file_size(path), sizeBefore);
    EXPECT_EQ(file->GetPassword(), u"pw");
    EXPECT_FALSE(fs::exists(fresh / kFreshFileName));
}

TEST_F(MaintenanceTest, TextsWithoutHeaderAndBytesPastTheTotalSurviveBothPasses) {
    fill();
    const store::Date orphan{2023, 7, 9};
    ASSERT_EQ(file->WriteRecord(*store::PlainTextImage(orphan, u"no header")), 1);
    ASSERT_EQ(file->WriteRecord(*store::RichTextImage(orphan, std::vector<std::uint8_t>{'{', '}'})),
              1);
    file->Close();
    const std::string tail(300, '\x5c');
    std::ofstream(path, std::ios::binary | std::ios::app) << tail;
    ASSERT_EQ(OptimiseDataFile(path.string(), fresh.string(), ui), 1);
    ASSERT_EQ(CompressAllAttachments(path.string(), fresh.string(), ui), 1);
    reopen();
    std::u16string text;
    EXPECT_NE(file->ReadEntryText(orphan, text), 0u);
    EXPECT_EQ(text, u"no header");
    std::vector<std::uint8_t> rtf;
    EXPECT_NE(file->ReadEntryRichText(orphan, rtf), 0u);
    // The bytes past the total went into a file of their own, told once.
    ASSERT_EQ(ui.informations().size(), 1u);
    std::string kept;
    for (const auto& e : fs::directory_iterator(dir.path()))
        if (e.path().filename().string().rfind("Mrlwbk31.dat.past-end-", 0) == 0) kept = e.path();
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(Bytes(kept), tail);
    EXPECT_NE(ui.informations()[0].find(kept), std::string::npos);
}

TEST_F(MaintenanceTest, HeaderOnlyFileStaysOneUnit) {
    file->Close();
    ASSERT_EQ(OptimiseDataFile(path.string(), fresh.string(), ui), 1);
    reopen();
    EXPECT_EQ(file->TotalUnits(), 1u);
    EXPECT_EQ(fs::file_size(path), store::kUnitSize);
}

TEST_F(MaintenanceTest, CancelLeavesTheFileAndNoFreshFile) {
    fill();
    file->Close();
    const std::string before = Bytes(path);
    ui.cancelAtStep(5);
    EXPECT_EQ(OptimiseDataFile(path.string(), fresh.string(), ui), 2);
    EXPECT_EQ(ui.informations(), std::vector<std::string>{"Processing was aborted."});
    EXPECT_EQ(Bytes(path), before);
    EXPECT_FALSE(fs::exists(fresh / kFreshFileName));
}

TEST_F(MaintenanceTest, ProgressRisesToExactlyOneHundredWhateverTheKinds) {
    // Entries with rich texts and the weather list: the steps count every
    // record, not only those of the first kinds.
    for (int day = 1; day <= 10; ++day) {
        const store::Date d{2024, 4, static_cast<std::uint8_t>(day)};
        ASSERT_EQ(file->SaveEntry(d, u"t", u"", u"text"), 1);
        ASSERT_EQ(file->WriteRecord(store::NewImage(store::kKindRichText, d, 1)), 1);
    }
    ASSERT_EQ(file->EnsureWeatherList(), 1);
    file->Close();
    for (const bool compress : {false, true}) {
        SCOPED_TRACE(compress);
        ui.clear();
        ASSERT_EQ(compress ? CompressAllAttachments(path.string(), fresh.string(), ui)
                           : OptimiseDataFile(path.string(), fresh.string(), ui),
                  1);
        std::vector<int> steps;
        for (const auto& e : ui.events())
            if (e.kind == "step") steps.push_back(std::stoi(e.text));
        ASSERT_FALSE(steps.empty());
        EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
        EXPECT_EQ(steps.back(), 100);
    }
}

TEST_F(MaintenanceTest, FileHeaderAfterUnitZeroIsRefused) {
    fill();
    ASSERT_EQ(file->WriteRecord(store::NewImage(store::kKindFileHeader, {}, 1)), 1);
    file->Close();
    const std::string before = Bytes(path);
    EXPECT_EQ(OptimiseDataFile(path.string(), fresh.string(), ui), 0);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"Diary data is incorrect."});
    EXPECT_EQ(Bytes(path), before);
    EXPECT_FALSE(fs::exists(fresh / kFreshFileName));
}

// The compaction the attachment manager runs on the open file, over a file
// it cannot carry over whole (a record of a kind this program does not
// know): told, the file unchanged, open and writable as before.
TEST_F(MaintenanceTest, OpenFileWithAnUnknownRecordKindIsToldAndKept) {
    fill();
    ASSERT_EQ(file->WriteRecord(store::NewImage(7, {2024, 3, 1}, 1)), 1);
    const std::string before = Bytes(path);
    EXPECT_EQ(OptimiseDataFile(*file, fresh.string()), 0);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"Diary data is incorrect."});
    EXPECT_TRUE(file->IsOpen());
    EXPECT_TRUE(file->IsWritable());
    EXPECT_EQ(Bytes(path), before);
    EXPECT_FALSE(fs::exists(fresh / kFreshFileName));
}

TEST_F(MaintenanceTest, BulkCompressionPacksOnlyPlainUncompressedAttachments) {
    fill();
    const store::Date d{2024, 3, 5};
    const std::vector<std::uint8_t> data(5000, 'q');
    // A stored-as-is attachment that is no archive: made as ".zip", renamed.
    auto plain = store::AttachmentImage({d, 1, u"x.zip", {}, data});
    store::PutText(&(*plain)[store::kAttName], store::kAttachmentNameMax, u"plain.txt");
    ASSERT_EQ(file->WriteRecord(*plain), 1);
    ASSERT_EQ(file->WriteRecord(*store::AttachmentImage({d, 2, u"Pack.ZiP", {}, data})), 1);
    ASSERT_EQ(file->WriteRecord(*store::AttachmentImage({d, 3, u"done.txt", {}, data})), 1);
    Records before = live();
    file->Close();
    ASSERT_EQ(CompressAllAttachments(path.string(), fresh.string(), ui), 1);
    reopen();
    Records after = live();
    ASSERT_EQ(after.size(), before.size());
    int changed = 0;
    for (std::size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i];
    EXPECT_EQ(changed, 1);
    for (const store::AttachmentInfo& a : file->ListAttachments(d)) {
        std::vector<std::uint8_t> bytes;
        ASSERT_EQ(file->ReadAttachmentData(a.unit, bytes), 1);
        EXPECT_EQ(bytes, data);
        EXPECT_EQ(a.compressed, a.name != u"Pack.ZiP");
    }
}

TEST_F(MaintenanceTest, OptimisationCommandAsksAndReopens) {
    fill();
    ui.answer(res::Answer::No);
    EXPECT_EQ(RunOptimisation(*file, fresh.string()), 2);
    ui.answer(res::Answer::Yes);
    EXPECT_EQ(RunOptimisation(*file, fresh.string()), 1);
    EXPECT_EQ(ui.informations().back(), "Optimization has been completed.");
    EXPECT_TRUE(file->IsOpen());
    EXPECT_EQ(freeRecords(), 0);
}

TEST_F(MaintenanceTest, CompressionCommandAsksReopensAndTellsTheOutcome) {
    fill();
    const store::Date d{2024, 3, 5};
    auto plain = store::AttachmentImage({d, 1, u"x.zip", {}, std::vector<std::uint8_t>(4000, 'z')});
    store::PutText(&(*plain)[store::kAttName], store::kAttachmentNameMax, u"plain.txt");
    ASSERT_EQ(file->WriteRecord(*plain), 1);
    ui.answer(res::Answer::No);
    EXPECT_EQ(RunBulkCompression(*file, fresh.string()), 2);
    EXPECT_FALSE(file->ListAttachments(d).front().compressed);
    ui.answer(res::Answer::Yes);
    EXPECT_EQ(RunBulkCompression(*file, fresh.string()), 1);
    EXPECT_EQ(ui.informations().back(), "Compression has been completed.");
    ASSERT_TRUE(file->IsOpen());
    EXPECT_TRUE(file->ListAttachments(d).front().compressed);

    // A read-only data file stays as it is, open for reading.
    file->Close();
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::remove);
    ASSERT_EQ(file->Open(true), store::OpenResult::Opened);
    const std::string before = Bytes(path);
    ui.answer(res::Answer::Yes);
    EXPECT_EQ(RunBulkCompression(*file, fresh.string()), 0);
    EXPECT_EQ(ui.warnings().back(), "Compression failed.");
    EXPECT_EQ(Bytes(path), before);
    EXPECT_TRUE(file->IsOpen() && file->IsReadOnly());
}

}  // namespace
}  // namespace tl::app
