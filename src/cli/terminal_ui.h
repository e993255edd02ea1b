#pragma once

#include "res/user_interface.h"

namespace tl::cli {

// The command-line tool's user: messages on standard error exactly as the
// program words them, y/n questions on the terminal (or the --yes answer),
// a progress bar on standard error when it is a terminal.
class TerminalUi final : public res::UserInterface {
public:
    using UserInterface::inform;
    using UserInterface::warn;

    void setAssumeYes(bool yes) { m_assumeYes = yes; }

    void warn(std::string_view text) override;
    void inform(std::string_view text) override;
    bool askYesNo(std::string_view text) override;
    res::Answer askYesNoCancel(std::string_view text) override;
    void openProgress(std::string_view title) override;
    bool stepProgress(int percent) override;
    void closeProgress() override;

private:
    bool m_assumeYes = false;
    bool m_progressShown = false;
    int m_lastPercent = -1;
};

}  // namespace tl::cli
