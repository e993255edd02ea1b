// Each long operation run in a child process that is killed with SIGKILL at
// a random moment, at least 30 times: afterwards the data file must be
// sound and every date read as its old or its new whole version (whole
// files as the old or the new file, a backup or copy as the last one or a
// whole copy).

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <random>

#include "campaign.h"
#include "support/temp_dir.h"
#include "syscall_faults.h"

namespace tl::faults {
namespace {

constexpr int kKills = 30;

// Runs the operation in a child and kills it delay microseconds after the
// operation begins, or with fromFirstWrite after the child's first write,
// growth or sync of the scene's files (never when delay is negative). True
// when the child died of the kill; *span gets the time from that moment to
// the child's end.
bool RunChild(Scene& scene, const Operation& op, bool fromFirstWrite, long delay,
              long* span = nullptr) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe");
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork");
    if (child == 0) {
        ::close(pipeFds[0]);
        AnsweringUi ui;
        std::uint64_t failed = 0;
        ArmFaults(scene.work().string(), 0, 0);
        if (fromFirstWrite) {
            NotifyFirstCall(pipeFds[1]);
        } else {
            const char byte = 1;
            (void)::write(pipeFds[1], &byte, 1);
        }
        try {
            (void)op.run(scene, ui, failed);
        } catch (...) {
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    char byte;
    while (::read(pipeFds[0], &byte, 1) < 0 && errno == EINTR) {
    }
    const auto start = std::chrono::steady_clock::now();
    ::close(pipeFds[0]);
    if (delay >= 0) {
        ::usleep(static_cast<useconds_t>(delay));
        ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (span)
        *span = static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                      std::chrono::steady_clock::now() - start)
                                      .count());
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

class KillTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(KillTest, EveryDateIsWholeAfterEachKill) {
    const Operation& op = Operations()[GetParam()];
    tl::testing::TempDir dir(ScratchBase());
    Scene scene(dir.path());
    const Outcomes o = Measure(scene, op);

    // Half the kills fall anywhere in the operation, half after its first
    // write, where it changes files. How long each part lasts: the
    // quickest of three runs (the first runs on a cold cache).
    long span[2] = {LONG_MAX, LONG_MAX};
    for (int mode = 0; mode < 2; ++mode) {
        for (int i = 0; i < 3; ++i) {
            scene.reset();
            long one = 0;
            ASSERT_FALSE(RunChild(scene, op, mode == 1, -1, &one));
            span[mode] = std::min(span[mode], one);
        }
    }

    std::mt19937 rng(static_cast<unsigned>(GetParam()) + 1);
    // Kills are spread over [0, latest]; a run that ends before its kill
    // shows that later kills would come too late.
    long latest[2] = {span[0], span[1]};
    int kills = 0, midway = 0;
    for (int attempt = 0; kills < kKills && attempt < 10 * kKills; ++attempt) {
        const int mode = attempt % 2;
        scene.reset();
        const long delay = static_cast<long>(rng() % static_cast<unsigned long>(latest[mode] + 1));
        if (!RunChild(scene, op, mode == 1, delay)) {
            latest[mode] = delay;
            continue;
        }
        ++kills;
        const std::string data = Bytes(scene.data());
        const auto files = FilesUnder(scene.work());
        if ((data != o.dataBefore && data != o.dataAfter) ||
            (files != o.filesBefore && files != o.filesAfter))
            ++midway;
        const std::string problem = CheckInterrupted(scene, op, o);
        EXPECT_EQ(problem, "") << op.name << ": kill " << kills << " after " << delay << " us"
                               << (mode == 1 ? " from the first write" : "");
    }
    EXPECT_GE(kills, kKills) << op.name << " ends too soon to be killed";
    std::printf(
        "[ figures  ] %s: %d kills, %d of them mid-way (files neither as before nor as "
        "after), %s\n",
        op.name, kills, midway, HasFailure() ? "LOSSES" : "nothing lost");
}

INSTANTIATE_TEST_SUITE_P(Operations, KillTest,
                         ::testing::Range<std::size_t>(0, Operations().size()), OperationName());

}  // namespace
}  // namespace tl::faults
