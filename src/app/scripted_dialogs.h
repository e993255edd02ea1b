#pragma once

#include <deque>
#include <functional>
#include <string>

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

    bool editDataFileSettings(DataFileSettingsForm& form) override;
    PasswordReply askPassword(bool offerDataFileSetting) override;

    int settingsShown() const { return m_settingsShown; }
    int passwordsAsked() const { return m_passwordsAsked; }
    bool lastOfferedDataFileSetting() const { return m_lastOffered; }
    bool unexpected() const { return m_unexpected; }
    bool scriptUsedUp() const { return m_settings.empty() && m_passwords.empty(); }

private:
    std::deque<FormEdit> m_settings;
    std::deque<PasswordReply> m_passwords;
    int m_settingsShown = 0;
    int m_passwordsAsked = 0;
    bool m_lastOffered = false;
    bool m_unexpected = false;
};

}  // namespace tl::app
