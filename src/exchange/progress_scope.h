#pragma once

#include <cstdint>

#include "res/user_interface.h"

namespace tl::exchange {

// The progress window of one exchange operation: open for the scope,
// closed once. A cancel, once answered, stays.
class ProgressScope {
public:
    ProgressScope(res::UserInterface& ui, res::Msg title);
    ~ProgressScope() { close(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    // Steps to done x 100 / total; false when the user cancelled.
    [[nodiscard]] bool step(std::uint64_t done, std::uint64_t total);
    [[nodiscard]] bool stepPercent(int percent);
    void close();
    // Closes the window and tells "Processing was aborted.".
    void abort();

private:
    res::UserInterface& m_ui;
    bool m_open = true;
    bool m_cancelled = false;
};

}  // namespace tl::exchange
