#pragma once

#include <cstdint>
#include <string_view>

#include "res/user_interface.h"
#include "store/file_copy.h"

namespace tl::app {

// The progress window of one long operation, shown through the user
// interface: open on construction, closed by CloseProgress or at the end of
// the scope. The cancel request only rises.
class Progress {
public:
    enum class Step { Continue = 1, Cancel = 2 };

    Progress(res::UserInterface& ui, std::string_view title);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // percent 0-100.
    [[nodiscard]] Step StepProgress(int percent);
    void CloseProgress();

    // The step of a file copy: tells "Aborted." when the user cancels and
    // answers false to stop the copy.
    [[nodiscard]] bool CopyProgressRoutine(std::uint64_t copied, std::uint64_t total);
    store::CopyProgress copyProgress();
    // The user cancelled a copy and was told so; callers say nothing more.
    bool aborted() const { return m_aborted; }

private:
    res::UserInterface& m_ui;
    bool m_open = true;
    bool m_cancelled = false;
    bool m_aborted = false;
};

}  // namespace tl::app
