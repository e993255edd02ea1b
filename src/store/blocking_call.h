#pragma once

#include <functional>

namespace tl::store {

// Runs call on a thread of its own and calls keepAlive every few
// milliseconds until call has returned; then rethrows what call threw. For
// the system calls that may block for long (the sync of a large file just
// written), so that the interface thread keeps painting meanwhile.
// REQUIRES: keepAlive does not touch what call works on.
void RunBlocking(const std::function<void()>& call, const std::function<void()>& keepAlive);

}  // namespace tl::store
