#include "temp_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "support/temp_dir.h"

namespace tl::app {
namespace {

namespace fs = std::filesystem;

std::string Make(const fs::path& path, bool readOnly = true) {
    std::ofstream(path) << "copy";
    if (readOnly) fs::permissions(path, fs::perms::owner_read);
    return path.string();
}

TEST(TempCopyPathTest, NumbersCopiesWhoseNameIsStillInUse) {
    testing::TempDir dir;
    const std::string folder = dir.path().string();
    std::set<std::string> busy;
    const PathTest inUse = [&](const std::string& p) { return busy.count(p) > 0; };

    EXPECT_EQ(TempCopyPath(folder, "report.pdf", inUse), folder + "/report.pdf");
    // A copy of an earlier opening that nobody holds is replaced.
    Make(dir / "report.pdf");
    EXPECT_EQ(TempCopyPath(folder, "report.pdf", inUse), folder + "/report.pdf");
    EXPECT_FALSE(fs::exists(dir / "report.pdf"));
    // Still open in its program: the next copy is numbered, split at the
    // first dot.
    busy.insert(Make(dir / "report.pdf"));
    EXPECT_EQ(TempCopyPath(folder, "report.pdf", inUse), folder + "/report(2).pdf");
    EXPECT_TRUE(fs::exists(dir / "report.pdf"));
    busy.insert(Make(dir / "report(2).pdf"));
    EXPECT_EQ(TempCopyPath(folder, "report.pdf", inUse), folder + "/report(3).pdf");
    busy.insert(Make(dir / "a(2).tar.gz"));
    Make(dir / "a.tar.gz");
    busy.insert((dir / "a.tar.gz").string());
    EXPECT_EQ(TempCopyPath(folder, "a.tar.gz", inUse), folder + "/a(3).tar.gz");
    EXPECT_EQ(TempCopyPath(folder, ".profile", inUse), folder + "/.profile");

    EXPECT_EQ(TempCopyPath(folder, "README", inUse), std::nullopt);
    for (int n = 1; n <= 99; ++n)
        busy.insert(
            Make(dir / (n == 1 ? std::string("x.txt") : "x(" + std::to_string(n) + ").txt")));
    EXPECT_EQ(TempCopyPath(folder, "x.txt", inUse), std::nullopt);
}

TEST(TempFileListTest, CloseRemovesCopiesAndAsksAboutOnesStillOpen) {
    testing::TempDir dir;
    TempFileList list;
    const std::string a = Make(dir / "a.txt");
    const std::string held = Make(dir / "held.pdf");
    const std::string kept = Make(dir / "kept.doc");
    list.add(a);
    list.add((dir / "already gone.txt").string());
    list.add(held);
    list.add(kept);
    std::set<std::string> busy{held, kept};
    std::vector<std::string> asked;
    list.RemoveAll([&](const std::string& p) { return busy.count(p) > 0; },
                   [&](const std::string& name) {
                       asked.push_back(name);
                       // Retry once the program has let held.pdf go; skip kept.doc.
                       if (name == "held.pdf") {
                           busy.erase(held);
                           return true;
                       }
                       return false;
                   });
    EXPECT_EQ(asked, (std::vector<std::string>{"kept.doc", "held.pdf"}));  // last first
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(fs::exists(held));
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_TRUE(list.paths().empty());
}

TEST(TempFileListTest, AFileHeldByAnotherProcessIsInUse) {
    testing::TempDir dir;
    const std::string path = Make(dir / "open elsewhere.pdf");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        const char ok = fd >= 0 ? 1 : 0;
        (void)!::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 1);
    EXPECT_TRUE(IsFileOpenElsewhere(path));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_FALSE(IsFileOpenElsewhere(path));
    // This process's own handles do not count.
    const int fd = ::open(path.c_str(), O_RDONLY);
    EXPECT_FALSE(IsFileOpenElsewhere(path));
    ::close(fd);
    EXPECT_FALSE(IsFileOpenElsewhere((dir / "missing.txt").string()));
}

}  // namespace
}  // namespace tl::app
