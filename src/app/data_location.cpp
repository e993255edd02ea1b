#include "data_location.h"

#include <cstdlib>
#include <filesystem>

#include "progress.h"
#include "store/file.h"
#include "store/file_copy.h"
#include "store/rescue.h"

namespace tl::app {

namespace fs = std::filesystem;

namespace {

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

}  // namespace

std::string UserDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (!home || *home != '/') return {};
    return (fs::path(home) / ".local" / "share").string();
}

DataLocation::DataLocation(AppSettings& settings, store::CDiaryDataFile& dataFile,
                           res::UserInterface& ui, AppDialogs& dialogs, std::string userDataFolder)
    : m_settings(settings),
      m_file(dataFile),
      m_ui(ui),
      m_dialogs(dialogs),
      m_userDataFolder(std::move(userDataFolder)) {}

std::optional<std::string> DataLocation::DefaultDataFolder() {
    if (m_userDataFolder.empty()) return std::nullopt;
    std::error_code ec;
    fs::create_directories(m_userDataFolder, ec);
    if (!IsFolder(m_userDataFolder)) return std::nullopt;
    const std::string folder =
        (fs::path(m_userDataFolder) / std::string(res::Text(res::Msg::DisplayTitle))).string();
    if (!Exists(folder)) {
        if (!fs::create_directory(folder, ec)) {
            m_ui.warn(res::Msg::FolderNotFound);
            return std::nullopt;
        }
        return folder + "/";
    }
    if (IsFolder(folder)) return folder + "/";
    m_ui.warn(res::Msg::FolderIncorrect);
    return std::nullopt;
}

LocateResult DataLocation::LocateDataFile() {
    if (m_settings.file.locationDefault == 1) {
        auto folder = DefaultDataFolder();
        if (!folder) return LocateResult::Stop;
        m_dataFolder = *folder;
    } else if (!m_settings.file.location.empty() && IsFolder(m_settings.file.location)) {
        m_dataFolder = m_settings.file.location + "/";
    } else {
        m_ui.warn(res::Msg::LocationNotCorrect);
        return RunDataFileSettings(SettingsMode::StartUp) ? LocateResult::Retry
                                                          : LocateResult::Stop;
    }
    m_dataPath = m_dataFolder + kDataFileName;
    return LocateResult::Ready;
}

LocateResult DataLocation::offerOtherLocation(res::Msg question) {
    if (!m_ui.askYesNo(res::Text(question))) return LocateResult::Stop;
    return RunDataFileSettings(SettingsMode::StartUp) ? LocateResult::Retry : LocateResult::Stop;
}

LocateResult DataLocation::readyFile() {
    if (m_file.IsReadOnly()) m_ui.inform(res::Msg::DataReadOnly);
    return LocateResult::Ready;
}

LocateResult DataLocation::OpenOrCreateDataFile() {
    m_file.Close();
    m_file.SetPath(m_dataPath);
    if (Exists(m_dataPath)) {
        const store::OpenResult opened = m_file.Open(false);
        const bool sound = opened == store::OpenResult::Opened && m_file.Validate() == 1;
        m_file.Close();
        if (opened == store::OpenResult::InUse)
            return offerOtherLocation(res::Msg::DataInUseChangeLocation);
        if (sound) return readyFile();
        // Records past the total (a total too small): the rescue instead of
        // the open, never a growth that would cut them.
        if (opened == store::OpenResult::Opened &&
            m_file.BytesPastTotal() == store::PastTotal::Records &&
            m_ui.askYesNo(res::Text(res::Msg::RecordsPastEnd))) {
            const store::RescueResult r = store::Rescue({m_dataPath, ""}, m_ui);
            if (r.status == 1) {
                m_ui.inform(
                    res::FormatText(res::Msg::RescueDone, {r.rescuedPath, r.damagedKeptPath}));
                return LocateResult::Retry;
            }
        }
        m_ui.warn(res::Msg::DiaryDataIncorrect);
        if (OfferRestore()) return LocateResult::Retry;
        return offerOtherLocation(res::Msg::ChangeLocation);
    }
    // At the default location a missing file is the first start: no question.
    if (m_settings.file.locationDefault != 1 &&
        !m_ui.askYesNo(res::Text(res::Msg::DataNotFoundCreate)))
        return offerOtherLocation(res::Msg::ChangeLocation);
    if (m_file.Create() == 1) return readyFile();
    m_ui.warn(res::Msg::CreatingDiaryDataFailed);
    return offerOtherLocation(res::Msg::ChangeLocation);
}

std::optional<std::string> DataLocation::BackupPath() {
    std::string folder;
    if (m_settings.backup.locationDefault == 1) {
        auto def = DefaultDataFolder();
        if (!def) return std::nullopt;
        folder = *def;
    } else {
        if (m_settings.backup.location.empty() || !IsFolder(m_settings.backup.location))
            return std::nullopt;
        folder = m_settings.backup.location + "/";
    }
    std::string name = kDataFileName;
    name.resize(name.size() - 4);  // without ".dat"
    return folder + name + kBackupExtension;
}

bool DataLocation::OfferRestore() {
    auto backup = BackupPath();
    if (!backup || !Exists(*backup)) return false;
    if (!m_ui.askYesNo(res::Text(res::Msg::RestoreFromBackup))) return false;
    return RestoreBackup();
}

bool DataLocation::RestoreBackup() {
    auto backup = BackupPath();
    try {
        if (!backup || !Exists(*backup))
            throw store::FileError(store::FileErrorKind::NotFound, ENOENT,
                                   "no backup to restore from");
        const std::string dataPath = m_file.Path();
        // Held while the backup is renamed into place, so that a data file
        // some program has open is not replaced under it.
        std::unique_ptr<store::File> held;
        if (Exists(dataPath))
            held = store::PosixFileSystem::instance().open(dataPath, store::OpenMode::ReadOnly);
        if (store::ReplaceWithCopy(*backup, dataPath, nullptr) == store::CopyResult::Done)
            return true;
    } catch (const store::FileError& e) {
        m_ui.warn(store::FailureText(e));
    }
    m_ui.warn(res::Msg::RestoreFailed);
    return false;
}

bool DataLocation::AutomaticBackup() {
    auto backup = BackupPath();
    if (!backup) return false;
    Progress progress(m_ui, res::Text(res::Msg::DuringBackup));
    try {
        // Written beside the old backup and renamed over it when whole, so a
        // failed or cancelled backup keeps the last good one.
        const auto result = store::ReplaceWithCopy(m_file.Path(), *backup, progress.copyProgress());
        progress.CloseProgress();
        return result == store::CopyResult::Done;
    } catch (const store::FileError& e) {
        progress.CloseProgress();
        m_ui.warn(store::FailureText(e));
        return false;
    }
}

bool DataLocation::RunDataFileSettings(SettingsMode mode) {
    DataFileSettingsForm form = DataFileSettingsForm::FromSettings(m_settings);
    for (;;) {
        if (!m_dialogs.editDataFileSettings(form)) return false;
        if (!CheckDataFileSettings(form, m_ui)) break;
    }
    const int oldDefault = m_settings.file.locationDefault;
    const std::string oldLocation = m_settings.file.location;
    ApplyDataFileSettings(form, m_settings);
    if (mode == SettingsMode::StartUp) return true;
    return oldDefault != m_settings.file.locationDefault || oldLocation != m_settings.file.location;
}

}  // namespace tl::app
