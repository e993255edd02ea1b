// The keep-and-merge steps after the data file was replaced underneath,
// killed at random moments in a child: the data file is then the own
// file, the new one or the merged one, always sound, and every kept file
// holds the own file's content whole.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "app/sync_copies.h"
#include "campaign.h"
#include "store/data_file_key.h"
#include "support/temp_dir.h"

namespace tl::faults {
namespace {

// The child's work: the sync tool's rename, then what the program does.
void ReplaceAndKeep(Scene& scene) {
    AnsweringUi ui;
    store::CDiaryDataFile own(store::PosixFileSystem::instance(), ui);
    own.SetPath(scene.data().string());
    own.SetKey(store::DeriveDataFileKey());
    if (own.Open(false) != store::OpenResult::Opened) ::_exit(3);
    const fs::path incoming = scene.data().parent_path() / ".Mrlwbk31.dat.tmp";
    fs::copy_file(scene.mergeFolder() / "Mrlwbk31.dat", incoming);
    fs::rename(incoming, scene.data());
    (void)own.CheckPath();
    (void)app::HandleDetachedDataFile(own, {}, std::chrono::system_clock::now());
}

long RunChild(Scene& scene, long delay) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ReplaceAndKeep(scene);
        ::_exit(0);
    }
    if (delay >= 0) {
        ::usleep(static_cast<useconds_t>(delay));
        ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

TEST(KillReplaced, EveryKillLeavesTheDataFileAndTheKeptFileWhole) {
    tl::testing::TempDir dir(ScratchBase());
    Scene scene(dir.path());
    scene.reset();
    const DiaryState own = ReadState(scene.data()).value();
    const DiaryState theirs = ReadState(scene.mergeFolder() / "Mrlwbk31.dat").value();
    long span = RunChild(scene, -1);
    const DiaryState merged = ReadState(scene.data()).value();
    ASSERT_NE(merged, own);
    ASSERT_NE(merged, theirs);

    std::mt19937 rng(28);
    int kills = 0, keptSeen = 0;
    for (int i = 0; i < 40; ++i) {
        scene.reset();
        const long delay = static_cast<long>(rng() % static_cast<unsigned long>(span + 1));
        RunChild(scene, delay);
        ++kills;
        const std::optional<DiaryState> now = ReadState(scene.data());
        ASSERT_TRUE(now.has_value()) << "kill after " << delay << " us: the data file is not sound";
        EXPECT_TRUE(*now == own || *now == theirs || *now == merged)
            << "kill after " << delay << " us: the data file is neither own, new nor merged";
        bool keptWhole = false;
        for (const auto& e : fs::directory_iterator(scene.data().parent_path())) {
            const std::string name = e.path().filename().string();
            if (!name.starts_with("Mrlwbk31.kept-") || name.ends_with(".part")) continue;
            EXPECT_EQ(ReadState(e.path()), own) << "kill after " << delay << " us: " << name;
            keptWhole = true;
        }
        keptSeen += keptWhole;
        if (*now == merged) {
            EXPECT_TRUE(keptWhole) << "merged, but the own content went";
        }
    }
    std::printf("[ figures  ] keep and merge: %d kills, %d with a kept file\n", kills, keptSeen);
}

}  // namespace
}  // namespace tl::faults
