#include "startup.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>

#include "password.h"
#include "store/data_file_key.h"
#include "sync_copies.h"
#include "temp_files.h"

namespace tl::app {

namespace fs = std::filesystem;

DiaryStartup::DiaryStartup(AppSettings& settings, store::CDiaryDataFile& dataFile,
                           res::UserInterface& ui, AppDialogs& dialogs, const Clock& clock,
                           StartHooks hooks, std::string userDataFolder)
    : m_settings(settings),
      m_file(dataFile),
      m_ui(ui),
      m_dialogs(dialogs),
      m_clock(clock),
      m_hooks(std::move(hooks)),
      m_location(settings, dataFile, ui, dialogs, std::move(userDataFolder)) {}

void DiaryStartup::cursor(bool wait) {
    if (m_hooks.waitCursor) m_hooks.waitCursor(wait);
}

std::chrono::year_month_day DiaryStartup::GetDiaryToday() const {
    return app::GetDiaryToday(m_clock, m_settings.etc.todayRange);
}

int DiaryStartup::StartDiaryData() {
    cursor(true);
    for (;;) {
        switch (startOnce()) {
            case Outcome::Done:
                cursor(false);
                return 1;
            case Outcome::Stop:
                m_file.Close();
                cursor(false);
                return 0;
            case Outcome::Restart:
                break;
        }
    }
}

// One pass from the location on; Restart when the user chose another
// location on the way.
DiaryStartup::Outcome DiaryStartup::startOnce() {
    if (m_hooks.beforeLocate) m_hooks.beforeLocate();
    m_file.Close();
    m_file.SetKey(store::DeriveDataFileKey());
    switch (m_location.LocateDataFile()) {
        case LocateResult::Stop:
            return Outcome::Stop;
        case LocateResult::Retry:
            return Outcome::Restart;
        case LocateResult::Ready:
            break;
    }
    m_file.SetPath(m_location.dataPath());
    switch (m_location.OpenOrCreateDataFile()) {
        case LocateResult::Stop:
            return Outcome::Stop;
        case LocateResult::Retry:
            return Outcome::Restart;
        case LocateResult::Ready:
            break;
    }
    // Checked just now; failing here means someone took the file in
    // between, which the next pass tells the user about.
    if (m_file.Open(false) != store::OpenResult::Opened) return Outcome::Restart;
    const std::u16string password = m_file.GetPassword();
    cursor(false);
    if (!password.empty()) {
        SwitchDataFile switchFile;
        if (m_offerDataFileSetting) switchFile = [this] { return switchDataFile(); };
        if (!AskPassword(password, m_dialogs, m_ui, switchFile)) return Outcome::Stop;
        if (!m_file.IsOpen() && m_file.Open(false) != store::OpenResult::Opened)
            return Outcome::Restart;
    }
    m_offerDataFileSetting = false;

    if (m_settings.backup.autoBackup == 1 && !m_file.IsReadOnly()) {
        m_file.Close();
        if (!m_location.AutomaticBackup() &&
            !m_ui.askYesNo(res::Text(res::Msg::AutomaticBackupFailed)))
            return Outcome::Stop;
        if (m_file.Open(false) != store::OpenResult::Opened) return Outcome::Restart;
    }
    if (!m_file.IsReadOnly() && m_hooks.convertOldData)
        m_hooks.convertOldData(m_location.dataFolder());
    OfferConflictCopiesAtStart(m_file, m_dialogs);

    m_file.Close();
    if (m_file.Open(false) != store::OpenResult::Opened) return Outcome::Restart;
    if (m_hooks.loadStickyNotes) m_hooks.loadStickyNotes();
    // A file without a weather list gets the default choices, so that every
    // header and the exchange read the same list (a read-only one stays as
    // it is and the windows fall back to the defaults).
    (void)m_file.EnsureWeatherList();
    if (m_hooks.loadWeatherList) m_hooks.loadWeatherList();
    if (m_settings.etc.todayOpen == 1 && m_hooks.openToday) m_hooks.openToday(GetDiaryToday());
    if (m_hooks.setInputMethod) m_hooks.setInputMethod(m_settings.etc.imeEnable == 1);
    if (m_hooks.refreshBars) m_hooks.refreshBars();
    return Outcome::Done;
}

// The prompt's "Data file setting" button. The data file object follows
// the new location only when a usable file was reached there; otherwise it
// is back on the file whose password is still expected, so the typed
// password is never checked against one file to open another.
std::optional<std::u16string> DiaryStartup::switchDataFile() {
    const std::string oldPath = m_file.Path();
    const auto backToOld = [&]() -> std::optional<std::u16string> {
        m_file.Close();
        m_file.SetPath(oldPath);
        (void)m_file.Open(false);
        return std::nullopt;
    };
    (void)m_location.RunDataFileSettings(SettingsMode::Command);
    if (m_location.LocateDataFile() != LocateResult::Ready) return backToOld();
    m_file.SetPath(m_location.dataPath());
    if (m_location.OpenOrCreateDataFile() != LocateResult::Ready) return backToOld();
    if (m_file.Open(false) != store::OpenResult::Opened) return backToOld();
    std::u16string password = m_file.GetPassword();
    m_file.Close();
    return password;
}

std::string TempFolder(const fs::path& systemTemp) {
    // The system's temporary folder is shared by every user: the copies of
    // attachments go only into a folder of this user's that nobody else
    // can enter, never through a link or into a folder someone else made.
    return OwnFolder(systemTemp, std::string(res::Text(res::Msg::DisplayTitle)) + "-" +
                                     std::to_string(::getuid()));
}

void CleanTempFolder(const fs::path& systemTemp) {
    const std::string folder = TempFolder(systemTemp);
    if (folder.empty()) return;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        std::error_code fileEc;
        // The folders of dragged-out copies ("drag-XXXXXX") hold only copies.
        if (!e.is_symlink(fileEc) && e.is_directory(fileEc) &&
            e.path().filename().string().starts_with("drag-")) {
            fs::remove_all(e.path(), fileEc);
            continue;
        }
        if (!e.is_regular_file(fileEc) && !e.is_symlink(fileEc)) continue;
        fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add, fileEc);
        fs::remove(e.path(), fileEc);
    }
    fs::remove(folder, ec);  // fails, as intended, while something is left
}

std::optional<int> ParseTodayRange(std::string_view text, res::UserInterface& ui) {
    int hour = -1;
    const char* end = text.data() + text.size();
    auto [ptr, err] = std::from_chars(text.data(), end, hour);
    if (text.empty() || err != std::errc() || ptr != end || hour < 0 || hour > 23) {
        ui.warn(res::Msg::TimeIncorrect);
        return std::nullopt;
    }
    return hour;
}

void EndApplication(const AppSettings& settings, SettingsStore& store, const EndHooks& hooks) {
    if (hooks.saveStickyNotes) hooks.saveStickyNotes();
    if (hooks.releaseInstance) hooks.releaseInstance();
    SaveSettings(settings, store);
}

}  // namespace tl::app
