// Each long operation with its n-th write, growth or sync failing, for
// every n, once with a full disk and once with an input/output error:
// nothing saved before is lost, the user is told (a full disk as "Disk is
// full."), and no partial file is left behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "campaign.h"
#include "support/temp_dir.h"
#include "syscall_faults.h"

namespace tl::faults {
namespace {

class FaultTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FaultTest, EveryWriteGrowthAndSyncFailsCleanly) {
    const Operation& op = Operations()[GetParam()];
    tl::testing::TempDir dir(ScratchBase());
    Scene scene(dir.path());
    const Outcomes o = Measure(scene, op);

    scene.reset();
    {
        AnsweringUi ui;
        std::uint64_t failed = 0;
        ArmFaults(scene.work().string(), 0, 0);
        (void)op.run(scene, ui, failed);
    }
    const int points = DisarmFaults();
    ASSERT_GT(points, 0);

    int injected = 0;
    for (int err : {ENOSPC, EIO}) {
        for (int n = 1; n <= points; ++n) {
            SCOPED_TRACE(std::string(op.name) + ": " + (err == ENOSPC ? "full disk" : "I/O error") +
                         " at point " + std::to_string(n) + " of " + std::to_string(points));
            scene.reset();
            AnsweringUi ui;
            std::uint64_t failed = 0;
            int result = -1;
            ArmFaults(scene.work().string(), n, err);
            try {
                result = op.run(scene, ui, failed);
            } catch (const std::exception& e) {
                ADD_FAILURE() << "an exception escaped: " << e.what();
            }
            const bool fired = FaultFired();
            DisarmFaults();
            if (!fired) continue;
            ++injected;
            EXPECT_EQ(CheckInterrupted(scene, op, o), "");
            if (result == 1 && failed == 0) {
                // Reported done: then it is done.
                if (op.target == Target::Dates || op.target == Target::WholeFile) {
                    EXPECT_EQ(ReadState(scene.data()), o.after) << "reported done, but is not";
                }
            } else {
                std::string told;
                for (const std::string& w : ui.warnings) told += "[" + w + "]";
                SCOPED_TRACE("told: " + told);
                EXPECT_FALSE(ui.warnings.empty()) << "a failure nobody was told of";
                if (err == ENOSPC) {
                    EXPECT_NE(std::find(ui.warnings.begin(), ui.warnings.end(), "Disk is full."),
                              ui.warnings.end());
                }
            }
            // Kept files carry the time in their names, which may differ from
            // the clean run's by a second: compare names without digits.
            const auto shape = [](std::string f) {
                for (char& c : f)
                    if (c >= '0' && c <= '9') c = '#';
                return f;
            };
            std::set<std::string> known;
            for (const auto& f : o.filesBefore) known.insert(shape(f));
            for (const auto& f : o.filesAfter) known.insert(shape(f));
            for (const std::string& f : FilesUnder(scene.work()))
                EXPECT_TRUE(known.count(shape(f))) << "left behind: " << f;
        }
    }
    std::printf("[ figures  ] %s: %d write, growth and sync points, %d faults injected, %s\n",
                op.name, points, injected, HasFailure() ? "LOSSES" : "nothing lost");
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultTest,
                         ::testing::Range<std::size_t>(0, Operations().size()), OperationName());

}  // namespace
}  // namespace tl::faults
