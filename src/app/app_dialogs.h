#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "backup_generations.h"
#include "data_file_settings.h"

namespace tl::app {

// The password prompt's answer: OK with the typed text, Cancel, or the
// "Data file setting" button (offered only during the first start-up).
struct PasswordReply {
    enum class Action { Ok, Cancel, DataFileSetting };
    Action action = Action::Cancel;
    std::u16string text;
};

// The dialogs the start-up logic runs, as abstract calls: the desktop
// program shows windows, the command-line tool asks on the terminal, tests
// answer from a script.
class AppDialogs {
public:
    virtual ~AppDialogs() = default;
    // The Data file settings dialog: lets the user edit the form; false on
    // Cancel. The OK checks run in the caller, which shows the dialog again
    // while they fail.
    [[nodiscard]] virtual bool editDataFileSettings(DataFileSettingsForm& form) = 0;
    [[nodiscard]] virtual PasswordReply askPassword(bool offerDataFileSetting) = 0;
    // Which backup a restore starts from, of copies listed newest first
    // (more than one); nullopt when the user cancels. Without a chooser the
    // newest is taken.
    [[nodiscard]] virtual std::optional<std::size_t> chooseBackup(
        const std::vector<BackupCopy>& copies) {
        (void)copies;
        return 0;
    }
};

}  // namespace tl::app
