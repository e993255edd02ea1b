// A power cut drops every write that no sync has reached the disk with. A
// save is recorded write by write; then the file is rebuilt as a power cut
// after each of its syncs would leave it (all later writes dropped), and
// as one that kept a single unsynced write of the following stretch while
// dropping the others (the disk may reorder them). Each must validate and
// hold the old or the new version.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <variant>

#include "diary_data_file.h"
#include "mem_file_system.h"
#include "record_images.h"
#include "support/data_file_fixture.h"

namespace tl::store {
namespace {

const Date kDay{2024, 3, 5};
const std::string kPath = "/mem/Mrlwbk31.dat";

// The writes, resizes and syncs of the data file, in order.
struct Write {
    std::uint64_t offset;
    std::vector<std::uint8_t> bytes;
};
struct Resize {
    std::uint64_t size;
};
struct SyncPoint {};
using Step = std::variant<Write, Resize, SyncPoint>;

class RecordingFileSystem final : public FileSystemWrapper {
public:
    explicit RecordingFileSystem(MemFileSystem& fs) : FileSystemWrapper(fs) {}
    std::vector<Step> steps;

protected:
    std::unique_ptr<File> wrap(std::unique_ptr<File> file) override {
        return std::make_unique<Recorded>(std::move(file), steps);
    }

private:
    struct Recorded final : FileWrapper {
        Recorded(std::unique_ptr<File> f, std::vector<Step>& s)
            : FileWrapper(std::move(f)), steps(s) {}
        void writeAt(std::uint64_t offset, const void* buf, std::size_t n) override {
            FileWrapper::writeAt(offset, buf, n);
            const auto* p = static_cast<const std::uint8_t*>(buf);
            steps.push_back(Write{offset, {p, p + n}});
        }
        void setSize(std::uint64_t size) override {
            FileWrapper::setSize(size);
            steps.push_back(Resize{size});
        }
        void sync() override {
            FileWrapper::sync();
            steps.push_back(SyncPoint{});
        }
        std::vector<Step>& steps;
    };
};

void Apply(std::vector<std::uint8_t>& image, const Step& step) {
    if (const auto* w = std::get_if<Write>(&step)) {
        if (image.size() < w->offset + w->bytes.size()) image.resize(w->offset + w->bytes.size());
        std::copy(w->bytes.begin(), w->bytes.end(), image.begin() + static_cast<long>(w->offset));
    } else if (const auto* r = std::get_if<Resize>(&step)) {
        image.resize(r->size);
    }
}

// What a reader sees of the date: header title, text and rich text.
std::string Read(CDiaryDataFile& f) {
    EntryHeader h;
    std::u16string text;
    std::vector<std::uint8_t> rtf;
    std::string out = f.ReadEntryHeader(kDay, &h) ? "header " : "no header ";
    (void)f.ReadEntryText(kDay, text);
    (void)f.ReadEntryRichText(kDay, rtf);
    out += std::string(h.title.begin(), h.title.end()) + "|" + std::to_string(text.size()) + "|" +
           std::string(rtf.begin(), rtf.end());
    for (const AttachmentInfo& a : f.ListAttachments(kDay))
        out += "|" + std::string(a.name.begin(), a.name.end());
    return out;
}

// Opens the image, read only and then writable (the check frees what was
// left behind): both must be sound and read the same; returns that.
std::string Survivor(const std::vector<std::uint8_t>& image) {
    MemFileSystem fs;
    fs.bytes(kPath) = image;
    CDiaryDataFile f(fs);
    f.SetPath(kPath);
    f.SetKey(DeriveDataFileKey());
    if (f.Open(true) != OpenResult::Opened || f.Validate() != 1) return "not sound";
    const std::string seen = Read(f);
    f.Close();
    if (f.Open(false) != OpenResult::Opened || f.Validate() != 1) return "not sound when written";
    if (Read(f) != seen) return "the check changed what readers see";
    return seen;
}

struct Case {
    const char* name;
    std::function<void(CDiaryDataFile&)> old, save;
};

std::vector<std::uint8_t> Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

TEST(PowerCut, AfterEverySyncOfASaveTheFileHoldsTheOldOrTheNewVersion) {
    auto saveNew = [](CDiaryDataFile& f) {
        ASSERT_EQ(f.SaveEditorEntry(kDay, {u"new", u"", {}}, std::u16string(900, u'n'),
                                    Bytes("{\\rtf1 new}")),
                  1);
    };
    auto oldEndToEnd = [](CDiaryDataFile& f) {
        ASSERT_EQ(f.SaveEditorEntry(kDay, {u"old", u"", {}}, std::u16string(400, u'o'),
                                    Bytes("{\\rtf1 old}")),
                  1);
    };
    const std::vector<Case> cases = {
        {"editor save, grows the file", oldEndToEnd, saveNew},
        {"editor save into free space",
         [&](CDiaryDataFile& f) {
             ASSERT_EQ(f.SaveEntry({2023, 1, 1}, u"", u"", std::u16string(4000, u'z')), 1);
             ASSERT_EQ(f.SaveEntry({2023, 1, 1}, u"", u"", u""), 1);
             oldEndToEnd(f);
         },
         saveNew},
        {"import save over an old layout",
         [](CDiaryDataFile& f) {
             ASSERT_EQ(f.WriteRecord(EntryHeaderImage(kDay, u"old", u"")), 1);
             ASSERT_EQ(f.WriteRecord(testing::RecordImage(kKindAttachment, 2024, 1, 1, 6)), 1);
             ASSERT_EQ(f.WriteRecord(*PlainTextImage(kDay, std::u16string(400, u'o'))), 1);
             ASSERT_EQ(f.WriteRecord(*RichTextImage(kDay, Bytes("{\\rtf1 old}"))), 1);
         },
         [](CDiaryDataFile& f) { ASSERT_EQ(f.SaveEntry(kDay, u"new", u"", u"imported"), 1); }},
        {"deletion", oldEndToEnd,
         [](CDiaryDataFile& f) { ASSERT_EQ(f.SaveEntry(kDay, u"", u"", u""), 1); }},
    };
    int images = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemFileSystem mem;
        RecordingFileSystem recording(mem);
        CDiaryDataFile f(recording);
        f.SetPath(kPath);
        f.SetKey(DeriveDataFileKey());
        ASSERT_EQ(f.Create(), 1);
        ASSERT_EQ(f.Open(false), OpenResult::Opened);
        c.old(f);
        f.Sync();
        const std::vector<std::uint8_t> base = mem.bytes(kPath);
        const std::string oldVersion = Survivor(base);
        recording.steps.clear();
        c.save(f);
        const std::string newVersion = Survivor(mem.bytes(kPath));
        ASSERT_NE(oldVersion, newVersion);

        // Every sync point (the start counts as one), and every single
        // write kept from the stretch after it.
        recording.steps.insert(recording.steps.begin(), SyncPoint{});
        std::vector<std::uint8_t> durable = base;
        int syncs = 0;
        for (std::size_t i = 0; i <= recording.steps.size(); ++i) {
            if (i == recording.steps.size() ||
                std::holds_alternative<SyncPoint>(recording.steps[i])) {
                const std::string seen = Survivor(durable);
                EXPECT_TRUE(seen == oldVersion || seen == newVersion)
                    << "power cut after sync " << syncs << ": " << seen;
                ++images;
                for (std::size_t j = i + 1; j < recording.steps.size() &&
                                            !std::holds_alternative<SyncPoint>(recording.steps[j]);
                     ++j) {
                    std::vector<std::uint8_t> one = durable;
                    Apply(one, recording.steps[j]);
                    const std::string kept = Survivor(one);
                    EXPECT_TRUE(kept == oldVersion || kept == newVersion)
                        << "after sync " << syncs << " only step " << j - i << " kept: " << kept;
                    ++images;
                }
                ++syncs;
            }
            if (i < recording.steps.size()) Apply(durable, recording.steps[i]);
        }
        EXPECT_GE(syncs, 4) << "a save syncs its new records, their appearance and the end";
    }
    EXPECT_GT(images, 20);
    std::printf("[ figures  ] %d files as power cuts would leave them, %s\n", images,
                HasFailure() ? "LOSSES" : "nothing lost");
}

}  // namespace
}  // namespace tl::store
