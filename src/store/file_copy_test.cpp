#include "file_copy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "file.h"
#include "support/temp_dir.h"

namespace tl::store {
namespace {

std::string Read(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + i / 251);
    return s;
}

class FileCopyTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::string from = (dir / "from.dat").string();
    std::string to = (dir / "to.backup").string();
};

TEST_F(FileCopyTest, CopiesInChunksReportingEachStep) {
    const std::string bytes = Pattern(10'000);
    Write(from, bytes);
    Write(to, "an older, longer file that must not leave a tail behind" + std::string(20'000, 'x'));
    std::vector<std::uint64_t> steps;
    auto progress = [&](std::uint64_t copied, std::uint64_t total) {
        EXPECT_EQ(total, bytes.size());
        steps.push_back(copied);
        return true;
    };
    ASSERT_EQ(CopyFile(from, to, progress, 4096), CopyResult::Done);
    EXPECT_EQ(Read(to), bytes);
    // The last step is asked again while the copy is synced.
    steps.erase(std::unique(steps.begin(), steps.end()), steps.end());
    EXPECT_EQ(steps, (std::vector<std::uint64_t>{0, 4096, 8192, 10'000}));
}

TEST_F(FileCopyTest, EmptyFileCopiesWithoutDividingByItsSize) {
    Write(from, "");
    int calls = 0;
    ASSERT_EQ(CopyFile(from, to, [&](std::uint64_t, std::uint64_t) { return ++calls, true; }),
              CopyResult::Done);
    EXPECT_TRUE(std::filesystem::exists(to));
    EXPECT_EQ(std::filesystem::file_size(to), 0u);
}

TEST_F(FileCopyTest, CancelledCopyRemovesItsTarget) {
    Write(from, Pattern(10'000));
    int calls = 0;
    auto cancelSecond = [&](std::uint64_t, std::uint64_t) { return ++calls < 2; };
    EXPECT_EQ(CopyFile(from, to, cancelSecond, 4096), CopyResult::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(to));
}

TEST_F(FileCopyTest, ReplaceKeepsTheOldTargetWholeUntilTheCopyIsComplete) {
    Write(from, Pattern(10'000));
    Write(to, "the last good backup");
    int calls = 0;
    auto cancelThird = [&](std::uint64_t, std::uint64_t) { return ++calls < 3; };
    EXPECT_EQ(ReplaceWithCopy(from, to, cancelThird, 4096), CopyResult::Cancelled);
    EXPECT_EQ(Read(to), "the last good backup");
    EXPECT_FALSE(std::filesystem::exists(PartialName(to)));

    ASSERT_EQ(ReplaceWithCopy(from, to, nullptr, 4096), CopyResult::Done);
    EXPECT_EQ(Read(to), Pattern(10'000));
    EXPECT_FALSE(std::filesystem::exists(PartialName(to)));
}

TEST_F(FileCopyTest, FailuresThrowTheirKindAndLeaveTheTargetAlone) {
    Write(to, "the last good backup");
    try {
        (void)ReplaceWithCopy((dir / "missing.dat").string(), to, nullptr);
        FAIL() << "copied a missing file";
    } catch (const FileError& e) {
        EXPECT_EQ(e.kind(), FileErrorKind::NotFound);
    }
    EXPECT_EQ(Read(to), "the last good backup");

    // A file a writer holds is not copied half way through its changes.
    Write(from, Pattern(300));
    auto held = PosixFileSystem::instance().open(from, OpenMode::ReadWrite);
    try {
        (void)ReplaceWithCopy(from, to, nullptr);
        FAIL() << "copied a file in use";
    } catch (const FileError& e) {
        EXPECT_EQ(e.kind(), FileErrorKind::InUse);
    }
    EXPECT_EQ(Read(to), "the last good backup");
    EXPECT_FALSE(std::filesystem::exists(PartialName(to)));
}

}  // namespace
}  // namespace tl::store
