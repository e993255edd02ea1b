#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app_settings.h"
#include "res/user_interface.h"

namespace tl::app {

// Puts folder at the top of the history: an entry already there moves up,
// otherwise the oldest drops out. Texts compare exactly. An empty text
// leaves the history alone.
void AddToHistory(LocationHistory& history, const std::string& folder);

// Trims leading and trailing blanks and every trailing separator.
std::string TrimFolder(std::string_view text);

// What the Data file settings dialog edits. Folder texts carry a trailing
// separator while shown.
struct DataFileSettingsForm {
    int autoBackup = 1;
    int fileDefault = 1;
    std::string fileFolder;
    int backupDefault = 1;
    std::string backupFolder;
    LocationHistory fileHistory;
    LocationHistory backupHistory;

    static DataFileSettingsForm FromSettings(const AppSettings& settings);
    // The drop-down choices: the current folder, then the non-empty
    // history, each with a trailing separator.
    static std::vector<std::string> Choices(const std::string& location,
                                            const LocationHistory& history);
};

enum class FormField { DataFolder, BackupFolder };

// The OK checks: trims both folder texts, and when a "Following folder"
// choice needs its folder, warns about an empty text or one that is not a
// folder. Returns the field to put the focus on, or nullopt when the form
// may close; checked texts are shown again with a trailing separator.
[[nodiscard]] std::optional<FormField> CheckDataFileSettings(DataFileSettingsForm& form,
                                                             res::UserInterface& ui);

// Copies an accepted form back: the choices, the folders and both
// histories with the folder texts entered at their top.
void ApplyDataFileSettings(const DataFileSettingsForm& form, AppSettings& settings);

// Ctrl+O: switches between the default folder and FILE LOCATION. Returns
// whether the data file must be opened again; nothing changes when there is
// no other folder to switch to.
[[nodiscard]] bool ToggleDataLocation(AppSettings& settings);

}  // namespace tl::app
