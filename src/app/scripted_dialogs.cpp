#include "scripted_dialogs.h"

namespace tl::app {

bool ScriptedDialogs::editDataFileSettings(DataFileSettingsForm& form) {
    ++m_settingsShown;
    if (m_settings.empty()) {
        m_unexpected = true;
        return false;
    }
    FormEdit edit = std::move(m_settings.front());
    m_settings.pop_front();
    if (!edit) return false;
    edit(form);
    return true;
}

PasswordReply ScriptedDialogs::askPassword(bool offerDataFileSetting) {
    ++m_passwordsAsked;
    m_lastOffered = offerDataFileSetting;
    if (m_passwords.empty()) {
        m_unexpected = true;
        return {};
    }
    PasswordReply reply = std::move(m_passwords.front());
    m_passwords.pop_front();
    return reply;
}

std::optional<std::size_t> ScriptedDialogs::chooseBackup(const std::vector<BackupCopy>& copies) {
    m_lastBackups = copies;
    if (m_backupChoices.empty()) {
        m_unexpected = true;
        return std::nullopt;
    }
    const std::optional<std::size_t> row = m_backupChoices.front();
    m_backupChoices.pop_front();
    return row;
}

}  // namespace tl::app
