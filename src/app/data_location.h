#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "app_dialogs.h"
#include "app_settings.h"
#include "res/user_interface.h"
#include "store/diary_data_file.h"

namespace tl::app {

inline constexpr const char* kDataFileName = "Mrlwbk31.dat";
inline constexpr const char* kBackupExtension = ".backup";

// The per-user data folder ($XDG_DATA_HOME, else ~/.local/share); empty
// when the environment names none.
std::string UserDataFolder();

// The outcome of a location step of the start-up.
enum class LocateResult { Stop = 0, Ready = 1, Retry = 2 };

enum class SettingsMode { StartUp, Command };

// Where the data file lives, and its backup. Asks and tells through the
// user interface and the dialogs; the main data file object is the caller's.
// Folders here end with a separator.
class DataLocation {
public:
    // userDataFolder: the per-user data folder the default folder lies in.
    DataLocation(AppSettings& settings, store::CDiaryDataFile& dataFile, res::UserInterface& ui,
                 AppDialogs& dialogs, std::string userDataFolder = UserDataFolder());

    // The per-user data folder plus "Tally Leaf", created when missing.
    std::optional<std::string> DefaultDataFolder();
    // Sets the data folder and path from the settings.
    [[nodiscard]] LocateResult LocateDataFile();
    // Makes sure a sound data file exists at the data path, with the
    // user's consent where it is not the first start.
    [[nodiscard]] LocateResult OpenOrCreateDataFile();
    // Offers the backup of a damaged data file; true when it was restored.
    [[nodiscard]] bool OfferRestore();
    std::optional<std::string> BackupPath();
    // Copies the (closed) data file to the backup path with progress.
    [[nodiscard]] bool AutomaticBackup();
    // Restores the backup over the data file object's path without asking;
    // tells why not.
    [[nodiscard]] bool RestoreBackup();
    // The same from a chosen copy (the latest backup or a generation). The
    // file it replaces is kept beside it under a dated name first, and the
    // user is told that name; when it cannot be kept nothing is restored.
    [[nodiscard]] bool RestoreFrom(const std::string& source);
    // The name the last restore kept the replaced file under; empty when
    // there was no file to keep.
    const std::string& replacedFile() const { return m_replaced; }
    // Where "now" comes from for the dated names (tests fix it).
    void setNow(std::function<std::time_t()> now) { m_now = std::move(now); }
    // The Data file settings dialog. Start-up mode answers true on OK;
    // command mode only when the data location changed.
    [[nodiscard]] bool RunDataFileSettings(SettingsMode mode);

    const std::string& dataFolder() const { return m_dataFolder; }
    const std::string& dataPath() const { return m_dataPath; }

private:
    // Asks whether to change the location and runs the dialog on Yes.
    LocateResult offerOtherLocation(res::Msg question);
    LocateResult readyFile();

    AppSettings& m_settings;
    store::CDiaryDataFile& m_file;
    res::UserInterface& m_ui;
    AppDialogs& m_dialogs;
    std::string m_userDataFolder;
    std::string m_dataFolder;
    std::string m_dataPath;
    std::string m_replaced;
    std::function<std::time_t()> m_now = [] { return std::time(nullptr); };
};

}  // namespace tl::app
