#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app_dialogs.h"
#include "res/user_interface.h"

namespace tl::app {

// Wrong passwords in a row that end the start-up.
inline constexpr int kPasswordTries = 3;

// The "Data file setting" button of the prompt: switches to another data
// file and answers its stored password (empty: it has none), or nullopt
// when the switch did not reach a usable file.
using SwitchDataFile = std::function<std::optional<std::u16string>()>;

// The start-up check of a data file with a password. Passwords compare
// exactly, letters case-sensitive. Returns true to go on; false after
// Cancel or the third wrong password (each told "Password is incorrect.").
// switchFile is null when the prompt may not offer its button.
[[nodiscard]] bool AskPassword(std::u16string expected, AppDialogs& dialogs, res::UserInterface& ui,
                               const SwitchDataFile& switchFile = nullptr);

// What the Change password dialog holds when OK is pressed.
struct PasswordChange {
    std::u16string oldPassword;
    std::u16string newPassword;
    std::u16string confirm;
};

// The outcome of OK in the Change password dialog.
enum class ChangeCheck {
    Accept,    // write PasswordChange::newPassword (empty removes it)
    FocusOld,  // "Current password is incorrect."
    FocusNew,  // "Both passwords are not same."
    StayOpen,  // the user declined to disable the password
};

// The OK checks of the Change password dialog against the stored password;
// warns and asks as the dialog does, and never writes anything.
[[nodiscard]] ChangeCheck CheckPasswordChange(const std::u16string& stored,
                                              const PasswordChange& change, res::UserInterface& ui);

}  // namespace tl::app
