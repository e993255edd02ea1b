#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app_dialogs.h"

namespace tl::app {

// Dialogs for tests, answering from a script in order. A dialog with no
// answer left is a test error: it cancels and marks unexpected().
class ScriptedDialogs final : public AppDialogs {
public:
    // The Data file settings dialog: the edit applied to the form, then OK;
    // a null edit is Cancel.
    using FormEdit = std::function<void(DataFileSettingsForm&)>;

    void settingsOk(FormEdit edit) { m_settings.push_back(std::move(edit)); }
    void settingsCancel() { m_settings.push_back(nullptr); }
    void password(std::u16string text) {
        m_passwords.push_back({PasswordReply::Action::Ok, std::move(text)});
    }
    void passwordCancel() { m_passwords.push_back({PasswordReply::Action::Cancel, {}}); }
    void passwordDataFileSetting() {
        m_passwords.push_back({PasswordReply::Action::DataFileSetting, {}});
    }

    // The backup chooser: the row chosen, or nullopt for Cancel.
    void backupChoice(std::optional<std::size_t> row) { m_backupChoices.push_back(row); }
    std::vector<BackupCopy> lastBackupList() const { return m_lastBackups; }

    bool editDataFileSettings(DataFileSettingsForm& form) override;
    PasswordReply askPassword(bool offerDataFileSetting) override;
    std::optional<std::size_t> chooseBackup(const std::vector<BackupCopy>& copies) override;

    int settingsShown() const { return m_settingsShown; }
    int passwordsAsked() const { return m_passwordsAsked; }
    bool lastOfferedDataFileSetting() const { return m_lastOffered; }
    bool unexpected() const { return m_unexpected; }
    bool scriptUsedUp() const { return m_settings.empty() && m_passwords.empty(); }

private:
    std::deque<FormEdit> m_settings;
    std::deque<PasswordReply> m_passwords;
    std::deque<std::optional<std::size_t>> m_backupChoices;
    std::vector<BackupCopy> m_lastBackups;
    int m_settingsShown = 0;
    int m_passwordsAsked = 0;
    bool m_lastOffered = false;
    bool m_unexpected = false;
};

}  // namespace tl::app
