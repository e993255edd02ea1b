// A data file whose path another program renamed a new file over, moved or
// deleted: the open file is detached and nothing more is written, neither
// into it nor into what the path names now.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data_file_key.h"
#include "diary_data_file.h"
#include "mem_file_system.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace tl::store {
namespace {

constexpr Date kDay{2024, 6, 1};
constexpr Date kOtherDay{2024, 6, 2};
const std::string kPath = "/d/Mrlwbk31.dat";

// Calls a hook before the n-th write that reaches a file, so that a test
// replaces the path in the middle of an operation.
class HookedFileSystem final : public FileSystemWrapper {
public:
    explicit HookedFileSystem(FileSystem& fs) : FileSystemWrapper(fs) {}
    int writes = 0;
    int fireAt = 0;
    std::function<void()> hook;

protected:
    std::unique_ptr<File> wrap(std::unique_ptr<File> file) override {
        class Hooked final : public FileWrapper {
        public:
            Hooked(std::unique_ptr<File> f, HookedFileSystem& fs)
                : FileWrapper(std::move(f)), m_fs(fs) {}
            void writeAt(std::uint64_t offset, const void* buf, std::size_t n) override {
                if (++m_fs.writes == m_fs.fireAt && m_fs.hook) m_fs.hook();
                FileWrapper::writeAt(offset, buf, n);
            }

        private:
            HookedFileSystem& m_fs;
        };
        return std::make_unique<Hooked>(std::move(file), *this);
    }
};

class ReplacedFileTest : public ::testing::Test {
protected:
    MemFileSystem mem;
    testing::RecordingUi ui;
    std::vector<PathState> told;

    std::unique_ptr<CDiaryDataFile> open(FileSystem& fs, const std::string& path) {
        auto f = std::make_unique<CDiaryDataFile>(fs, ui);
        f->SetPath(path);
        f->SetKey(DeriveDataFileKey());
        EXPECT_EQ(f->Open(false), OpenResult::Opened);
        EXPECT_EQ(f->Validate(), 1);
        f->SetDetachedHandler([this](PathState s) { told.push_back(s); });
        return f;
    }
    std::unique_ptr<CDiaryDataFile> make(const std::string& path, std::u16string title) {
        CDiaryDataFile f(mem, ui);
        f.SetPath(path);
        f.SetKey(DeriveDataFileKey());
        EXPECT_EQ(f.Create(), 1);
        f.Close();
        auto opened = open(mem, path);
        EXPECT_EQ(opened->SaveEntry(kDay, title, u"", u"text of " + std::u16string(title)), 1);
        return opened;
    }
    std::u16string title(CDiaryDataFile& f, Date date) {
        EntryHeader h;
        return f.ReadEntryHeader(date, &h) ? h.title : u"(none)";
    }
    // A second data file renamed over the path, as a sync tool does.
    void replaceByRename() {
        make("/d/.syncthing.Mrlwbk31.dat.tmp", u"theirs").reset();
        mem.rename("/d/.syncthing.Mrlwbk31.dat.tmp", kPath);
    }
};

TEST_F(ReplacedFileTest, RenameOverThePathStopsEveryWriteAndLeavesTheNewFileAlone) {
    auto own = make(kPath, u"mine");
    replaceByRename();
    const std::vector<std::uint8_t> newBytes = mem.bytes(kPath);

    EXPECT_EQ(own->SaveEntry(kDay, u"typed after", u"", u"x"), 0);
    StickyNote note;
    note.date = kOtherDay;
    EXPECT_EQ(own->SaveStickyNote(note), 0);
    EXPECT_EQ(own->SetPassword(u"pw"), 0);
    EXPECT_THROW(own->FreeDate(2024, 6, 1, true), FileError);
    EXPECT_TRUE(own->IsDetached());
    EXPECT_EQ(own->Detached(), PathState::Replaced);
    // Told once, to the handler only: no write-failure box before it.
    EXPECT_EQ(told, std::vector<PathState>{PathState::Replaced});
    EXPECT_TRUE(ui.warnings().empty());
    EXPECT_EQ(mem.bytes(kPath), newBytes);
    // The old file is still readable through the handle, as it was.
    EXPECT_EQ(title(*own, kDay), u"mine");
    EXPECT_EQ(title(*own, kOtherDay), u"(none)");
    testing::TempDir dir;
    ASSERT_EQ(own->CopyTo(dir / "kept.dat", {}), CopyResult::Done);
    auto kept = open(PosixFileSystem::instance(), dir / "kept.dat");
    EXPECT_EQ(title(*kept, kDay), u"mine");

    // Opened again, the object works on the new file.
    ASSERT_EQ(own->Open(false), OpenResult::Opened);
    EXPECT_FALSE(own->IsDetached());
    EXPECT_EQ(title(*own, kDay), u"theirs");
    EXPECT_EQ(own->SaveEntry(kOtherDay, u"saved again", u"", u"y"), 1);
}

TEST_F(ReplacedFileTest, DeletedOrMovedFileIsGoneAndTheMovedFileStaysAsItWas) {
    auto own = make(kPath, u"mine");
    mem.remove(kPath);
    EXPECT_EQ(own->CheckPath(), PathState::Gone);
    EXPECT_EQ(own->SaveEntry(kOtherDay, u"x", u"", u"x"), 0);
    EXPECT_FALSE(mem.exists(kPath));

    auto moved = make("/d/b/Mrlwbk31.dat", u"mine");
    told.clear();
    mem.rename("/d/b/Mrlwbk31.dat", "/d/elsewhere.dat");
    const std::vector<std::uint8_t> before = mem.bytes("/d/elsewhere.dat");
    EXPECT_EQ(moved->SaveEntry(kOtherDay, u"x", u"", u"x"), 0);
    EXPECT_EQ(moved->AttachFile("/nothing", kOtherDay, 1), 0);
    EXPECT_EQ(told, std::vector<PathState>{PathState::Gone});
    EXPECT_EQ(mem.bytes("/d/elsewhere.dat"), before);
    EXPECT_FALSE(mem.exists("/d/b/Mrlwbk31.dat"));
}

TEST_F(ReplacedFileTest, ReplacedInTheMiddleOfASaveOrALongRunNothingMoreIsWritten) {
    make(kPath, u"mine").reset();
    HookedFileSystem hooked(mem);
    auto own = open(hooked, kPath);
    ASSERT_EQ(own->SaveEntry(kDay, u"modified", u"", std::u16string(3000, u'm')), 1);

    // The path is replaced by the second write of the next save (an entry
    // being changed), then a long run of saves follows.
    hooked.writes = 0;
    hooked.fireAt = 2;
    int writesAtReplace = -1;
    std::vector<std::uint8_t> newBytes;
    hooked.hook = [&] {
        replaceByRename();
        newBytes = mem.bytes(kPath);
        writesAtReplace = hooked.writes;
    };
    EXPECT_EQ(own->SaveEntry(kDay, u"changed", u"", std::u16string(5000, u'c')), 0);
    for (int i = 0; i < 100; ++i) {
        const Date d{2023, 1, static_cast<std::uint8_t>(1 + i % 28)};
        EXPECT_EQ(own->SaveEntry(d, u"bulk", u"", u"bulk text"), 0);
    }
    EXPECT_EQ(writesAtReplace, 2);
    EXPECT_EQ(hooked.writes, writesAtReplace) << "writes went on after the replacement";
    EXPECT_EQ(mem.bytes(kPath), newBytes);
    EXPECT_EQ(told.size(), 1u);
    // The save that was cut short left the old file readable, old or new.
    const std::u16string t = title(*own, kDay);
    EXPECT_TRUE(t == u"modified" || t == u"changed") << std::string(t.begin(), t.end());
}

TEST(ReplacedRealFile, RenameAndDeleteAreSeenOnRealFiles) {
    testing::TempDir dir;
    const std::string path = dir / "Mrlwbk31.dat";
    const std::string theirs = dir / "Mrlwbk31.dat.tmp";
    for (const std::string& p : {path, theirs}) {
        CDiaryDataFile f;
        f.SetPath(p);
        f.SetKey(DeriveDataFileKey());
        ASSERT_EQ(f.Create(), 1);
    }
    CDiaryDataFile own;
    own.SetPath(path);
    own.SetKey(DeriveDataFileKey());
    ASSERT_EQ(own.Open(false), OpenResult::Opened);
    ASSERT_EQ(own.SaveEntry(kDay, u"mine", u"", u"x"), 1);
    EXPECT_EQ(own.CheckPath(), PathState::Same);

    std::filesystem::rename(theirs, path);
    const auto size = std::filesystem::file_size(path);
    EXPECT_EQ(own.SaveEntry(kOtherDay, u"after", u"", u"y"), 0);
    EXPECT_EQ(own.Detached(), PathState::Replaced);
    EXPECT_EQ(std::filesystem::file_size(path), size);

    ASSERT_EQ(own.Open(false), OpenResult::Opened);
    EXPECT_EQ(own.SaveEntry(kOtherDay, u"after", u"", u"y"), 1);
    std::filesystem::remove(path);
    EXPECT_EQ(own.CheckPath(), PathState::Gone);
    EXPECT_EQ(own.SaveEntry(kDay, u"gone", u"", u"z"), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace tl::store
