// Saves killed at random moments: a real child process saves entries in a
// loop on a real file and is killed with SIGKILL; every date must then
// read back as one whole version: title, text and rich text of the same
// save.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "data_file_key.h"
#include "diary_data_file.h"
#include "support/temp_dir.h"

namespace tl::store {
namespace {

constexpr int kDates = 5;

Date DateN(int i) {
    return {2024, 5, static_cast<std::uint8_t>(1 + i)};
}

// Version v of date i: its title names the version, the text repeats it, so
// a mixed or torn entry is detected.
std::u16string Title(int v) {
    return u"v" + std::u16string(1, static_cast<char16_t>(u'A' + v % 26));
}
std::u16string Text(int v) {
    return std::u16string(static_cast<std::size_t>(200 + 37 * (v % 40)),
                          static_cast<char16_t>(u'a' + v % 26));
}

TEST(SaveDurability, KilledSavesLeaveEveryDateReadable) {
    testing::TempDir dir;
    const std::string path = dir / "Mrlwbk31.dat";
    CDiaryDataFile f;
    f.SetPath(path);
    f.SetKey(DeriveDataFileKey());
    ASSERT_EQ(f.Create(), 1);
    ASSERT_EQ(f.Open(false), OpenResult::Opened);
    for (int i = 0; i < kDates; ++i)
        ASSERT_EQ(f.SaveEditorEntry(DateN(i), {Title(0), u"", {}}, Text(0), {}), 1);
    f.Close();

    std::mt19937 rng(12345);
    for (int round = 0; round < 25; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CDiaryDataFile c;
            c.SetPath(path);
            c.SetKey(DeriveDataFileKey());
            if (c.Open(false) != OpenResult::Opened) ::_exit(3);
            for (int v = 1;; ++v) {
                std::vector<std::uint8_t> rtf(static_cast<std::size_t>(50 + v % 300),
                                              static_cast<std::uint8_t>('a' + v % 26));
                (void)c.SaveEditorEntry(DateN(v % kDates), {Title(v), u"", {}}, Text(v), rtf);
            }
        }
        ::usleep(2000 + rng() % 20000);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself";

        ASSERT_EQ(f.Open(false), OpenResult::Opened);
        ASSERT_EQ(f.Validate(), 1) << "round " << round;
        for (int i = 0; i < kDates; ++i) {
            EntryHeader h;
            std::u16string text;
            std::vector<std::uint8_t> rtf;
            ASSERT_NE(f.ReadEntryHeader(DateN(i), &h), 0u) << "round " << round << " date " << i;
            ASSERT_NE(f.ReadEntryText(DateN(i), text), 0u) << "round " << round << " date " << i;
            ASSERT_EQ(h.title.size(), 2u);
            EXPECT_EQ(h.title[0], u'v');
            // The text is one whole version: one letter, a version's length.
            ASSERT_FALSE(text.empty());
            EXPECT_EQ(text.find_first_not_of(text[0]), std::u16string::npos) << "round " << round;
            EXPECT_EQ((text.size() - 200) % 37, 0u) << "round " << round << " date " << i;
            // ... and the same version as the title (and the rich text).
            EXPECT_EQ(text[0], h.title[1] - u'A' + u'a') << "round " << round << " date " << i;
            if (f.ReadEntryRichText(DateN(i), rtf) != 0 && !rtf.empty()) {
                EXPECT_EQ(rtf[0], text[0]) << "round " << round << " date " << i;
            }
        }
        f.Close();
    }
}

}  // namespace
}  // namespace tl::store
