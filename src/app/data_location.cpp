#include "data_location.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "progress.h"
#include "res/kept_messages.h"
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
    if (!backup) return false;
    const std::vector<BackupCopy> copies = ListBackups(*backup);
    if (copies.empty()) return false;
    if (!m_ui.askYesNo(RestoreQuestion(copies.front().madeAt))) return false;
    std::size_t chosen = 0;
    if (copies.size() > 1) {
        const std::optional<std::size_t> choice = m_dialogs.chooseBackup(copies);
        if (!choice || *choice >= copies.size()) return false;
        chosen = *choice;
    }
    return RestoreFrom(copies[chosen].path);
}

bool DataLocation::RestoreBackup() {
    auto backup = BackupPath();
    return RestoreFrom(backup ? *backup : std::string());
}

// A restore passes through these states, each of which keeps both files:
//   1. the data file as it was, the backup beside;
//   2. the data file under a second, dated name too (a hard link, or a
//      synced copy where links are not possible), the folder synced;
//   3. the copy of the backup renamed over the data path, folder synced.
// A failure before 3 leaves the data path as it was; the dated name of 2
// then stays as a harmless second name.
bool DataLocation::RestoreFrom(const std::string& source) {
    m_replaced.clear();
    try {
        if (source.empty() || !Exists(source))
            throw store::FileError(store::FileErrorKind::NotFound, ENOENT,
                                   "no backup to restore from");
        const std::string dataPath = m_file.Path();
        // Held while the backup is renamed into place, so that a data file
        // some program has open is not replaced under it.
        std::unique_ptr<store::File> held;
        std::string kept;
        if (Exists(dataPath)) {
            held = store::PosixFileSystem::instance().open(dataPath, store::OpenMode::ReadOnly);
            kept = ReplacedName(dataPath, m_now());
            store::KeepUnderName(dataPath, kept);
        }
        if (store::ReplaceWithCopy(source, dataPath, nullptr) == store::CopyResult::Done) {
            m_replaced = kept;
            if (!kept.empty()) m_ui.inform(res::FormatText(res::kept::ReplacedFileKept, {kept}));
            return true;
        }
    } catch (const store::FileError& e) {
        m_ui.warn(store::FailureText(e));
    }
    m_ui.warn(res::Msg::RestoreFailed);
    return false;
}

// Besides the backup itself, the first backup of each day is kept under a
// dated name. Each copy is whole and synced before anything older goes:
//   1. the backup is replaced with a copy (written beside it, renamed);
//   2. when today has no generation yet, the new backup is copied to it
//      the same way;
//   3. only then are the generations past the setting's count removed,
//      oldest first.
bool DataLocation::AutomaticBackup() {
    auto backup = BackupPath();
    if (!backup) return false;
    const int keep = std::clamp(m_settings.backup.generations, 0, kMaxBackupGenerations);
    const std::string generation = GenerationPath(*backup, m_now());
    const bool newGeneration = keep > 0 && !Exists(generation);
    Progress progress(m_ui, res::Text(res::Msg::DuringBackup));
    try {
        // Written beside the old backup and renamed over it when whole, so a
        // failed or cancelled backup keeps the last good one.
        auto result = store::ReplaceWithCopy(m_file.Path(), *backup, progress.copyProgress());
        if (result == store::CopyResult::Done && newGeneration)
            result = store::ReplaceWithCopy(*backup, generation, progress.copyProgress());
        progress.CloseProgress();
        if (result != store::CopyResult::Done) return false;
        PruneGenerations(*backup, keep);
        return true;
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
