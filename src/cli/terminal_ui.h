#pragma once

#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "app/app_dialogs.h"
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

// The dialogs on a terminal. Passwords come one a line from the password
// file when one is given, else from standard input (unechoed on a
// terminal); the Data file settings dialog does not exist here, so it
// answers Cancel (the settings command changes the location).
class TerminalDialogs final : public app::AppDialogs {
public:
    explicit TerminalDialogs(const std::string& passwordFile);

    bool editDataFileSettings(app::DataFileSettingsForm& form) override;
    app::PasswordReply askPassword(bool offerDataFileSetting) override;
    // The next password with its prompt; nullopt when there is none left.
    std::optional<std::u16string> readPassword(const char* prompt);

private:
    std::unique_ptr<std::ifstream> m_file;
};

}  // namespace tl::cli
