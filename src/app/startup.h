#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app_dialogs.h"
#include "app_settings.h"
#include "clock.h"
#include "data_location.h"
#include "res/user_interface.h"
#include "store/diary_data_file.h"

namespace tl::app {

// The steps of the start-up that belong to the windows and to later parts
// of the program. Each may be left empty.
struct StartHooks {
    std::function<void(bool)> waitCursor;
    // Before every (re)location: save and remove the sticky note windows,
    // hide the side bar.
    std::function<void()> beforeLocate;
    // Offers the conversion of older data in the data folder (writable
    // files only); the data file is open.
    std::function<void(const std::string& dataFolder)> convertOldData;
    // After the data file was reopened: sticky note windows, weather list.
    std::function<void()> loadStickyNotes;
    std::function<void()> loadWeatherList;
    std::function<void(std::chrono::year_month_day)> openToday;
    std::function<void(bool open)> setInputMethod;
    // Fills the side bar and shows the bars as the settings say.
    std::function<void()> refreshBars;
};

// Opens the data file and everything that hangs on it, first at start-up
// and again whenever the data location changed. Owns the location; the
// settings, data file and user interface are the caller's.
class DiaryStartup {
public:
    DiaryStartup(AppSettings& settings, store::CDiaryDataFile& dataFile, res::UserInterface& ui,
                 AppDialogs& dialogs, const Clock& clock, StartHooks hooks = {},
                 std::string userDataFolder = UserDataFolder());

    // 1 with the data file open; 0 when the program must not go on (every
    // reason was already told).
    [[nodiscard]] int StartDiaryData();
    std::chrono::year_month_day GetDiaryToday() const;

    DataLocation& location() { return m_location; }

private:
    enum class Outcome { Done, Stop, Restart };
    Outcome startOnce();
    std::optional<std::u16string> switchDataFile();
    void cursor(bool wait);

    AppSettings& m_settings;
    store::CDiaryDataFile& m_file;
    res::UserInterface& m_ui;
    AppDialogs& m_dialogs;
    const Clock& m_clock;
    StartHooks m_hooks;
    DataLocation m_location;
    // The password prompt offers "Data file setting" only at the first start.
    bool m_offerDataFileSetting = true;
};

// The folder for files handed to other programs: the application's title
// and this user's number ("Tally Leaf-1000") inside the system's temporary
// folder, this user's own (OwnFolder); empty when none can be had.
std::string TempFolder(
    const std::filesystem::path& systemTemp = std::filesystem::temp_directory_path());
// Deletes the files directly in the temporary folder (skipping those that
// resist) and removes the folder when that left it empty.
void CleanTempFolder(
    const std::filesystem::path& systemTemp = std::filesystem::temp_directory_path());

// The hour typed into Other settings ("The next morning until __:00 it is
// today"): 0-23, else "Time is incorrect." and nullopt.
[[nodiscard]] std::optional<int> ParseTodayRange(std::string_view text, res::UserInterface& ui);

// The exit step after the main window closed: sticky notes written back,
// the single-instance guard released, then the settings saved.
struct EndHooks {
    std::function<void()> saveStickyNotes;
    std::function<void()> releaseInstance;
};
void EndApplication(const AppSettings& settings, SettingsStore& store, const EndHooks& hooks = {});

}  // namespace tl::app
