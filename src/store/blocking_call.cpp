#include "blocking_call.h"

#include <chrono>
#include <future>

namespace tl::store {

namespace {

// Often enough for a window that answers within a tenth of a second.
constexpr std::chrono::milliseconds kKeepAliveStep{5};

}  // namespace

void RunBlocking(const std::function<void()>& call, const std::function<void()>& keepAlive) {
    if (!keepAlive) {
        call();
        return;
    }
    std::future<void> done = std::async(std::launch::async, call);
    while (done.wait_for(kKeepAliveStep) != std::future_status::ready) keepAlive();
    done.get();
}

}  // namespace tl::store
