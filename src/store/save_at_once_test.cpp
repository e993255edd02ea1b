// A save killed at each of its writes in turn: what was written before the
// kill stays, nothing after it happens (no clean-up runs). Every reader
// must then read the date as its whole old or its whole new version, and
// the start-up check must keep the version readers saw.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "diary_data_file.h"
#include "record_images.h"
#include "support/data_file_fixture.h"
#include "support/faulty_file_system.h"

namespace tl::store {
namespace {

using testing::MemDataFile;

const Date kDay{2024, 3, 5};

// What a reader sees of the date.
struct Version {
    bool header = false;
    std::u16string title, text;
    std::string rtf;
    friend bool operator==(const Version&, const Version&) = default;
};

std::ostream& operator<<(std::ostream& out, const Version& v) {
    return out << (v.header ? "header " : "no header ") << v.title.size() << "/" << v.text.size()
               << "/" << v.rtf.size();
}

Version Read(CDiaryDataFile& f) {
    Version v;
    EntryHeader h;
    v.header = f.ReadEntryHeader(kDay, &h) != 0;
    v.title = h.title;
    (void)f.ReadEntryText(kDay, v.text);
    std::vector<std::uint8_t> rtf;
    (void)f.ReadEntryRichText(kDay, rtf);
    v.rtf.assign(rtf.begin(), rtf.end());
    return v;
}

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

const Version kOld{true, u"old title", u"old text " + std::u16string(400, u'o'), "{\\rtf1 old}"};
const Version kNew{true, u"new title", u"new text " + std::u16string(900, u'n'), "{\\rtf1 new}"};
const Version kImported{true, u"imported", u"imported text", ""};
const Version kGone{};

// How the old version lies in the file.
enum class Layout {
    EndToEnd,   // as this program saves
    Scattered,  // as older writers and merges leave it: other records between
};

void WriteOld(CDiaryDataFile& f, Layout layout, bool freeSpaceBefore) {
    if (freeSpaceBefore) {
        ASSERT_EQ(f.SaveEntry({2023, 1, 1}, u"", u"", std::u16string(3000, u'z')), 1);
        ASSERT_EQ(f.SaveEntry({2023, 1, 1}, u"", u"", u""), 1);
    }
    if (layout == Layout::EndToEnd) {
        ASSERT_EQ(f.SaveEditorEntry(kDay, {kOld.title, u"", {}}, kOld.text, Bytes(kOld.rtf)), 1);
        return;
    }
    auto other = [&](int day) {
        ASSERT_EQ(f.WriteRecord(testing::RecordImage(kKindAttachment, 2024, 3, day, 6)), 1);
    };
    ASSERT_EQ(f.WriteRecord(EntryHeaderImage(kDay, kOld.title, u"")), 1);
    other(1);
    ASSERT_EQ(f.WriteRecord(*PlainTextImage(kDay, kOld.text)), 1);
    other(2);
    const auto rtf = Bytes(kOld.rtf);
    ASSERT_EQ(f.WriteRecord(*RichTextImage(kDay, rtf)), 1);
    f.Sync();
}

struct Save {
    const char* name;
    std::function<void(CDiaryDataFile&)> run;
    Version result;
};

const std::vector<Save>& Saves() {
    static const std::vector<Save> saves = {
        {"editor save",
         [](CDiaryDataFile& f) {
             (void)f.SaveEditorEntry(kDay, {kNew.title, u"", {}}, kNew.text, Bytes(kNew.rtf));
         },
         kNew},
        {"import save without rich text",
         [](CDiaryDataFile& f) { (void)f.SaveEntry(kDay, kImported.title, u"", kImported.text); },
         kImported},
        {"deletion by an empty save",
         [](CDiaryDataFile& f) { (void)f.SaveEntry(kDay, u"", u"", u""); }, kGone},
        {"deletion of the date", [](CDiaryDataFile& f) { f.FreeDate(2024, 3, 5, true); }, kGone},
    };
    return saves;
}

TEST(SaveAtOnce, AKillAtAnyWriteLeavesTheOldOrTheNewVersionForEveryReader) {
    int kills = 0;
    for (Layout layout : {Layout::EndToEnd, Layout::Scattered}) {
        for (bool freeSpaceBefore : {false, true}) {
            for (const Save& save : Saves()) {
                for (int n = 1;; ++n) {
                    SCOPED_TRACE(std::string(save.name) +
                                 (layout == Layout::Scattered ? ", scattered" : ", end to end") +
                                 (freeSpaceBefore ? ", free space before" : "") + ", kill at " +
                                 std::to_string(n));
                    MemDataFile base;
                    testing::FaultyFileSystem faulty(base.fs);
                    faulty.killAtFault = true;
                    CDiaryDataFile f(faulty, base.ui);
                    f.SetPath(base.path);
                    f.SetKey(DeriveDataFileKey());
                    base.file->Close();
                    ASSERT_EQ(f.Open(false), OpenResult::Opened);
                    WriteOld(f, layout, freeSpaceBefore);
                    ASSERT_EQ(Read(f), kOld);

                    faulty.arm(n);
                    try {
                        save.run(f);
                    } catch (const FileError&) {
                    }
                    const bool killed = faulty.fired();
                    faulty.arm(0);
                    f.Close();

                    // A reader that may not write: the rule alone.
                    ASSERT_EQ(f.Open(true), OpenResult::Opened);
                    ASSERT_EQ(f.Validate(), 1);
                    const Version seen = Read(f);
                    EXPECT_TRUE(seen == kOld || seen == save.result) << seen;
                    if (!killed) {
                        EXPECT_EQ(seen, save.result);
                    }
                    f.Close();
                    // The start-up check frees what was left behind and keeps
                    // what readers saw; afterwards even a plain walk agrees.
                    ASSERT_EQ(f.Open(false), OpenResult::Opened);
                    ASSERT_EQ(f.Validate(), 1);
                    EXPECT_EQ(Read(f), seen);
                    f.SetChainMap(false);
                    EXPECT_EQ(Read(f), seen) << "the plain walk after the check";
                    if (!killed) break;
                    ++kills;
                }
            }
        }
    }
    EXPECT_GT(kills, 50);
    std::printf("[ figures  ] %d saves killed at a write, %s\n", kills,
                HasFailure() ? "LOSSES" : "nothing lost");
}

}  // namespace
}  // namespace tl::store
