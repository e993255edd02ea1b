#include "blocking_call.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "file.h"

namespace tl::store {
namespace {

TEST(RunBlocking, KeepAliveRunsWhileTheCallBlocks) {
    // The call returns only once keepAlive has run: both ran at the same time.
    std::atomic<int> beats{0};
    RunBlocking(
        [&] {
            while (beats.load() < 3) std::this_thread::yield();
        },
        [&] { ++beats; });
    EXPECT_GE(beats.load(), 3);
}

TEST(RunBlocking, TheCallsFailureComesBackToTheCaller) {
    EXPECT_THROW(RunBlocking([] { throw FileError(FileErrorKind::DiskFull, 28, "sync"); }, [] {}),
                 FileError);
    bool ran = false;
    RunBlocking([&] { ran = true; }, {});  // no keepAlive: called here
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace tl::store
