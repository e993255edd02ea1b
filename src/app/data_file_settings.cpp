#include "data_file_settings.h"

#include <algorithm>
#include <filesystem>

namespace tl::app {

namespace {

std::string WithSeparator(const std::string& folder) {
    return folder.empty() ? folder : folder + "/";
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

// Warns and answers false unless text names an existing folder.
bool CheckFolder(std::string& text, res::UserInterface& ui) {
    if (text.empty()) {
        ui.warn(res::Msg::SpecifyFolderName);
        return false;
    }
    if (!IsFolder(text)) {
        ui.warn(res::Msg::FolderNameIncorrect);
        return false;
    }
    return true;
}

}  // namespace

void AddToHistory(LocationHistory& history, const std::string& folder) {
    if (folder.empty()) return;
    auto found = std::find(history.begin(), history.end(), folder);
    // Everything above the old place (or everything but the oldest) moves
    // down one slot.
    auto last = found == history.end() ? history.end() - 1 : found;
    std::move_backward(history.begin(), last, last + 1);
    history.front() = folder;
}

std::string TrimFolder(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    while (!text.empty() && text.back() == '/') text.remove_suffix(1);
    return std::string(text);
}

DataFileSettingsForm DataFileSettingsForm::FromSettings(const AppSettings& s) {
    DataFileSettingsForm form;
    form.autoBackup = s.backup.autoBackup;
    form.fileDefault = s.file.locationDefault;
    form.fileFolder = WithSeparator(s.file.location);
    form.backupDefault = s.backup.locationDefault;
    form.backupFolder = WithSeparator(s.backup.location);
    form.fileHistory = s.file.history;
    form.backupHistory = s.backup.history;
    return form;
}

std::vector<std::string> DataFileSettingsForm::Choices(const std::string& location,
                                                       const LocationHistory& history) {
    std::vector<std::string> out{WithSeparator(location)};
    for (const std::string& h : history)
        if (!h.empty()) out.push_back(WithSeparator(h));
    return out;
}

std::optional<FormField> CheckDataFileSettings(DataFileSettingsForm& form, res::UserInterface& ui) {
    form.fileFolder = TrimFolder(form.fileFolder);
    form.backupFolder = TrimFolder(form.backupFolder);
    if (form.fileDefault == 0) {
        if (!CheckFolder(form.fileFolder, ui)) return FormField::DataFolder;
        form.fileFolder = WithSeparator(form.fileFolder);
    }
    if (form.autoBackup == 1 && form.backupDefault == 0) {
        if (!CheckFolder(form.backupFolder, ui)) return FormField::BackupFolder;
        form.backupFolder = WithSeparator(form.backupFolder);
    }
    return std::nullopt;
}

void ApplyDataFileSettings(const DataFileSettingsForm& form, AppSettings& s) {
    const std::string fileFolder = TrimFolder(form.fileFolder);
    const std::string backupFolder = TrimFolder(form.backupFolder);
    s.file.history = form.fileHistory;
    s.backup.history = form.backupHistory;
    AddToHistory(s.file.history, fileFolder);
    AddToHistory(s.backup.history, backupFolder);
    s.backup.autoBackup = form.autoBackup;
    s.file.locationDefault = form.fileDefault;
    s.file.location = fileFolder;
    s.backup.locationDefault = form.backupDefault;
    s.backup.location = backupFolder;
}

bool ToggleDataLocation(AppSettings& s) {
    if (s.file.locationDefault == 1 && s.file.location.empty()) return false;
    s.file.locationDefault = s.file.locationDefault == 1 ? 0 : 1;
    return true;
}

}  // namespace tl::app
