// Conflicted copies and a data file replaced underneath, on real files.

#include "sync_copies.h"

#include <gtest/gtest.h>

#include <fstream>

#include "store/data_file_key.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace tl::app {
namespace {

namespace fs = std::filesystem;
using store::Date;

constexpr Date kMine{2024, 3, 1};
constexpr Date kTheirs{2024, 3, 2};

TEST(ConflictNames, TheToolsOwnNamesAreCopiesAndLookAlikesAreNot) {
    const std::pair<const char*, ConflictSource> copies[] = {
        {"Mrlwbk31.sync-conflict-20240105-134502-ABCDEF2.dat", ConflictSource::Syncthing},
        {"Mrlwbk31 (conflicted copy 2024-01-05 134502).dat", ConflictSource::Nextcloud},
        {"Mrlwbk31 (conflicted copy alice 2024-01-05 134502).dat", ConflictSource::Nextcloud},
        {"Mrlwbk31 (Laptop's conflicted copy 2024-01-05).dat", ConflictSource::Dropbox},
        {"Mrlwbk31 (Laptop's conflicted copy 2024-01-05 (1)).dat", ConflictSource::Dropbox},
        {"Mrlwbk31_conflict-20240105-134502.dat", ConflictSource::OwnCloud},
        {"Mrlwbk31.kept-20240105-134502.dat", ConflictSource::Kept},
        {"Mrlwbk31.kept-20240105-134502-3.dat", ConflictSource::Kept},
    };
    for (const auto& [name, source] : copies) {
        const auto got = ConflictCopyOf(name);
        ASSERT_TRUE(got.has_value()) << name;
        EXPECT_EQ(*got, source) << name;
    }
    const char* lookAlikes[] = {
        "Mrlwbk31.dat",
        "Mrlwbk31.sync-conflict-20240105-134502-abcdef2.dat",   // lower-case device
        "Mrlwbk31.sync-conflict-20240105-134502-ABCDEF1.dat",   // 1 is no base32 digit
        "Mrlwbk31.sync-conflict-20240105-134502-ABCDEF23.dat",  // device too long
        "Mrlwbk31.sync-conflict-20241305-134502-ABCDEF2.dat",   // month 13
        "Mrlwbk31.sync-conflict-20240105-246002-ABCDEF2.dat",   // 24 o'clock
        "Mrlwbk31.sync-conflict-20240105-134502-ABCDEF2.dat.merged",
        "Mrlwbk31.sync-conflict-20240105-134502-ABCDEF2.backup",
        ".syncthing.Mrlwbk31.dat.tmp",
        "mrlwbk31.sync-conflict-20240105-134502-ABCDEF2.dat",  // other file's stem
        "Other.sync-conflict-20240105-134502-ABCDEF2.dat",
        "Mrlwbk31 (conflicted copy 2024-01-05).dat",         // no time, no owner
        "Mrlwbk31 (conflicted copy 2024-02-30 134502).dat",  // 30 February
        "Mrlwbk31 (conflicted copy 2024-01-05 1345).dat",
        "Mrlwbk31 (Laptop's conflicted copy 24-01-05).dat",
        "Mrlwbk31 (copy).dat",
        "Mrlwbk31 copy.dat",
        "Mrlwbk31_conflict-20240105.dat",
        "Mrlwbk31.kept-20240105.dat",
        "Mrlwbk31 (conflicted copy 2024-01-05 134502).dat.part",
        "x/Mrlwbk31.sync-conflict-20240105-134502-ABCDEF2.dat",
    };
    for (const char* name : lookAlikes) EXPECT_FALSE(ConflictCopyOf(name)) << name;
}

class SyncCopiesTest : public ::testing::Test {
protected:
    tl::testing::TempDir dir;
    tl::testing::RecordingUi ui;
    std::string data = dir / "Mrlwbk31.dat";
    store::CDiaryDataFile own{store::PosixFileSystem::instance(), ui};

    void SetUp() override {
        makeDiary(data, kMine, u"mine");
        own.SetPath(data);
        own.SetKey(store::DeriveDataFileKey());
        ASSERT_EQ(own.Open(false), store::OpenResult::Opened);
        ASSERT_EQ(own.Validate(), 1);
    }
    static void makeDiary(const std::string& path, Date date, std::u16string title) {
        store::CDiaryDataFile f;
        f.SetPath(path);
        f.SetKey(store::DeriveDataFileKey());
        ASSERT_EQ(f.Create(), 1);
        ASSERT_EQ(f.Open(false), store::OpenResult::Opened);
        ASSERT_EQ(f.SaveEntry(date, title, u"", title + u" text"), 1);
    }
    static std::u16string title(const std::string& path, Date date) {
        store::CDiaryDataFile f;
        f.SetPath(path);
        f.SetKey(store::DeriveDataFileKey());
        if (f.Open(true) != store::OpenResult::Opened || !f.Validate()) return u"(unreadable)";
        store::EntryHeader h;
        return f.ReadEntryHeader(date, &h) ? h.title : u"(none)";
    }
    std::u16string ownTitle(Date date) {
        store::EntryHeader h;
        return own.ReadEntryHeader(date, &h) ? h.title : u"(none)";
    }
    // Another data file renamed over the path, then a save that finds it.
    void replaceUnderneath() {
        makeDiary(dir / ".Mrlwbk31.dat.tmp", kTheirs, u"theirs");
        fs::rename(dir / ".Mrlwbk31.dat.tmp", data);
        ASSERT_EQ(own.SaveEntry(kMine, u"typed", u"", u"typed"), 0);
        ASSERT_TRUE(own.IsDetached());
    }
    std::vector<std::string> kept() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.path().filename().string().starts_with("Mrlwbk31.kept-"))
                names.push_back(e.path().string());
        return names;
    }
};

TEST_F(SyncCopiesTest, AcceptedCopiesAreMergedAndMovedAsideDamagedOnesNamedAndLeft) {
    const std::string copy = dir / "Mrlwbk31.sync-conflict-20240105-134502-ABCDEF2.dat";
    const std::string damaged = dir / "Mrlwbk31 (conflicted copy 2024-01-05 134502).dat";
    const std::string declined = dir / "Mrlwbk31 (Laptop's conflicted copy 2024-01-06).dat";
    const std::string lookAlike = dir / "Mrlwbk31.sync-conflict-20240105-134502-abcdef2.dat";
    makeDiary(copy, kTheirs, u"theirs");
    makeDiary(declined, {2024, 3, 9}, u"declined");
    makeDiary(lookAlike, {2024, 3, 8}, u"look-alike");
    std::ofstream(damaged) << "not a diary";

    ui.answer(res::Answer::No);   // the Dropbox copy, first by name
    ui.answer(res::Answer::Yes);  // the Syncthing copy
    const ConflictMerges r = OfferConflictCopies(own, {});
    EXPECT_EQ(r.merged, 1);
    EXPECT_EQ(r.damaged, 1);
    EXPECT_EQ(r.failed, 0);
    EXPECT_FALSE(ui.unexpectedQuestion());
    EXPECT_EQ(ownTitle(kMine), u"mine");
    EXPECT_EQ(ownTitle(kTheirs), u"theirs");
    EXPECT_EQ(ownTitle({2024, 3, 8}), u"(none)");
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_EQ(title(copy + ".merged", kTheirs), u"theirs");
    EXPECT_TRUE(fs::exists(damaged));
    EXPECT_TRUE(fs::exists(declined));

    // Only what was not merged is offered again.
    ui.clear();
    ui.answer(res::Answer::No);
    const ConflictMerges again = OfferConflictCopies(own, {});
    EXPECT_EQ(again.merged, 0);
    EXPECT_FALSE(ui.unexpectedQuestion());
    int questions = 0;
    for (const auto& e : ui.events()) questions += e.kind == "ask";
    EXPECT_EQ(questions, 1);
}

TEST_F(SyncCopiesTest, ReplacedFileIsKeptAndMergedIntoTheNewOne) {
    replaceUnderneath();
    ui.answer(res::Answer::Yes);
    EXPECT_EQ(HandleDetachedDataFile(own, {}, std::chrono::system_clock::now()),
              DetachedOutcome::Merged);
    EXPECT_FALSE(own.IsDetached());
    EXPECT_EQ(ownTitle(kMine), u"mine");
    EXPECT_EQ(ownTitle(kTheirs), u"theirs");
    // Saves reach the new file now.
    EXPECT_EQ(own.SaveEntry(kMine, u"typed", u"", u"typed"), 1);
    own.Close();
    EXPECT_EQ(title(data, kMine), u"typed");
    // The merged kept file is aside, never offered again.
    EXPECT_TRUE(kept().size() == 1 && kept()[0].ends_with(".merged"));
    EXPECT_TRUE(FindConflictCopies(data).empty());
}

TEST_F(SyncCopiesTest, DeclinedMergeLeavesTheKeptFileWholeAndOpensTheNewOne) {
    replaceUnderneath();
    ui.answer(res::Answer::No);
    EXPECT_EQ(HandleDetachedDataFile(own, {}, std::chrono::system_clock::now()),
              DetachedOutcome::Kept);
    EXPECT_EQ(ownTitle(kMine), u"(none)");
    EXPECT_EQ(ownTitle(kTheirs), u"theirs");
    ASSERT_EQ(kept().size(), 1u);
    EXPECT_EQ(title(kept()[0], kMine), u"mine");
    EXPECT_EQ(FindConflictCopies(data), kept());
    EXPECT_FALSE(fs::exists(store::PartialName(kept()[0])));
}

TEST_F(SyncCopiesTest, DeletedFileIsPutBackUnderItsName) {
    fs::remove(data);
    EXPECT_EQ(own.CheckPath(), store::PathState::Gone);
    EXPECT_EQ(HandleDetachedDataFile(own, {}, std::chrono::system_clock::now()),
              DetachedOutcome::Restored);
    EXPECT_FALSE(ui.unexpectedQuestion());
    EXPECT_TRUE(kept().empty());
    EXPECT_EQ(own.SaveEntry(kTheirs, u"after", u"", u"after"), 1);
    own.Close();
    EXPECT_EQ(title(data, kMine), u"mine");
    EXPECT_EQ(title(data, kTheirs), u"after");
}

TEST_F(SyncCopiesTest, FileNotDetachedIsLeftAsItIs) {
    EXPECT_EQ(HandleDetachedDataFile(own, {}, std::chrono::system_clock::now()),
              DetachedOutcome::None);
    EXPECT_TRUE(kept().empty());
    EXPECT_TRUE(ui.events().empty());
}

}  // namespace
}  // namespace tl::app
