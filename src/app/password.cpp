#include "password.h"

namespace tl::app {

bool AskPassword(std::u16string expected, AppDialogs& dialogs, res::UserInterface& ui,
                 const SwitchDataFile& switchFile) {
    int wrong = 0;
    for (;;) {
        const PasswordReply reply = dialogs.askPassword(switchFile != nullptr);
        switch (reply.action) {
            case PasswordReply::Action::Cancel:
                return false;
            case PasswordReply::Action::DataFileSetting:
                if (switchFile) {
                    if (auto password = switchFile()) {
                        if (password->empty()) return true;
                        expected = *password;
                    }
                }
                continue;
            case PasswordReply::Action::Ok:
                break;
        }
        if (reply.text == expected) return true;
        ui.warn(res::Msg::PasswordIncorrect);
        if (++wrong == kPasswordTries) return false;
    }
}

ChangeCheck CheckPasswordChange(const std::u16string& stored, const PasswordChange& change,
                                res::UserInterface& ui) {
    if (change.oldPassword != stored) {
        ui.warn(res::Msg::CurrentPasswordIncorrect);
        return ChangeCheck::FocusOld;
    }
    if (change.newPassword != change.confirm) {
        ui.warn(res::Msg::PasswordsNotSame);
        return ChangeCheck::FocusNew;
    }
    if (!change.newPassword.empty()) return ChangeCheck::Accept;
    return ui.askYesNo(res::Text(res::Msg::DisablePassword)) ? ChangeCheck::Accept
                                                             : ChangeCheck::StayOpen;
}

}  // namespace tl::app
