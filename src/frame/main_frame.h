#pragma once

#include <QMainWindow>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "app/app_settings.h"
#include "command_table.h"
#include "res/command_target.h"
#include "res/commands.h"
#include "res/user_interface.h"
#include "store/records.h"

class QAction;
class QShortcut;
class QTimer;

namespace tl::app {
class DiaryStartup;
}
namespace tl::diary {
class CDiaryDocuments;
class CFinder;
}  // namespace tl::diary
namespace tl::store {
class CDiaryDataFile;
}

namespace tl::calendar {
class CDayBar;
}
namespace tl::onthisday {
class COnThisDayWnd;
}
namespace tl::sticky {
class CBlinkClock;
class CStickyNotes;
}  // namespace tl::sticky

class QDockWidget;

namespace tl::frame {

class CExchangeCommands;
class CDisplaySettings;
class CFrameBars;
class CMDIClient;

// The main window: menus, keys and their enabling, the area of the entry
// windows, the blink and refresh timers, the frame-level commands and the
// window state kept across runs. Commands are routed through the registry:
// the entries, the side bar and the frame itself each answer their own.
class CMainFrame : public QMainWindow, private res::CommandTarget {
    Q_OBJECT

public:
    using Today = std::function<std::chrono::year_month_day()>;

    CMainFrame(app::AppSettings& settings, store::CDiaryDataFile& dataFile, res::UserInterface& ui,
               Today today, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The start-up object, for the commands that open the data file again.
    void setStartup(app::DiaryStartup* startup) { m_startup = startup; }
    diary::CDiaryDocuments& documents() { return *m_documents; }
    diary::CFinder& finder() { return *m_finder; }
    CMDIClient* mdiArea() const { return m_mdi; }
    calendar::CDayBar* dayBar() const { return m_dayBar; }
    QDockWidget* sideBar() const { return m_sideBar; }
    sticky::CStickyNotes& stickyNotes() { return *m_notes; }
    CExchangeCommands& exchangeCommands() { return *m_exchange; }
    sticky::CBlinkClock& blinkClock() { return *m_blinkClock; }

    // Runs a command as its menu item or key would; false when it is
    // disabled now.
    bool runCommand(res::Cmd cmd);
    bool isCommandEnabled(res::Cmd cmd) const;
    QAction* action(res::Cmd cmd) const;
    // Where every subsystem registers the commands it answers.
    res::CommandRegistry& commands() { return m_commands; }
    app::AppSettings& settings() { return m_settings; }
    res::UserInterface& ui() { return m_ui; }
    // The Display settings command; its translucencyChanged reaches the
    // sticky notes.
    CDisplaySettings* displaySettings() const { return m_displaySettings; }
    // The command bar and the edit bar.
    CFrameBars* bars() const { return m_bars; }
    // Docks the side bar at the left or right edge (DAYBAR LEFT follows).
    void dockSideBar(bool left);

    // The data file was opened (at start-up or again, after a change of its
    // location or an operation that replaced it): the side bar reads it and
    // dataFileReloaded tells every other subsystem.
    void dataFileOpened();
    // The Today command.
    void openToday();
    // Another process asked for the window: restore it and bring it forward.
    void bringToFront();
    // The blink clock again with TITLECOL BLINK_INTERVAL.
    void restartBlinkTimer();
    // Writes the restored rectangle and the show state into the settings.
    void storeWindowState();
    // Which menu is on the bar now.
    MenuKind menuKind() const { return m_menuKind; }
    // "On this day" for the date (day 0: the month's notes), shown beside
    // the entries and given the focus.
    void showOnThisDay(store::Date date);
    onthisday::COnThisDayWnd* onThisDay() const { return m_onThisDay; }

signals:
    // The data file was opened, or replaced under the open program (merge,
    // import, conversion, a new location): whatever shows its contents (side
    // bar, sticky notes, open entries, find) reads it again.
    void dataFileReloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createTimers();
    void createStickyNotes();
    void createSideBar();
    void placeWindow();
    void updateActions();
    void updateAction(res::Cmd cmd, const CommandState& state);
    CommandState commandState() const;
    void runKey(res::Cmd cmd, KeyScope scope);
    // The frame's own commands.
    bool isEnabled(res::Cmd cmd) const override;
    void run(res::Cmd cmd) override;
    std::optional<bool> isChecked(res::Cmd cmd) const override;
    void openSpecified();
    void changePassword();
    void defaultFont();
    void dataFileSettings();
    void toggleDataLocation();
    void reopenDataFile(int locationDefaultBefore, const std::string& locationBefore);
    void otherSettings();
    void showHelp();
    void showAbout();
    void createOnThisDay();

    app::AppSettings& m_settings;
    store::CDiaryDataFile& m_dataFile;
    res::UserInterface& m_ui;
    Today m_today;
    app::DiaryStartup* m_startup = nullptr;
    CMDIClient* m_mdi = nullptr;
    QDockWidget* m_sideBar = nullptr;
    calendar::CDayBar* m_dayBar = nullptr;
    diary::CDiaryDocuments* m_documents = nullptr;
    CExchangeCommands* m_exchange = nullptr;
    CDisplaySettings* m_displaySettings = nullptr;
    CFrameBars* m_bars = nullptr;
    diary::CFinder* m_finder = nullptr;
    res::CommandRegistry m_commands;
    std::map<res::Cmd, QAction*> m_actions;
    std::vector<std::pair<QShortcut*, res::Cmd>> m_shortcuts;
    MenuKind m_menuKind = MenuKind::Entry;  // the menus are built at once
    sticky::CStickyNotes* m_notes = nullptr;
    sticky::CBlinkClock* m_blinkClock = nullptr;
    QTimer* m_refreshTimer = nullptr;
    bool m_firstShow = true;
    store::Date m_openDate;  // the date last accepted by the Open dialog
    onthisday::COnThisDayWnd* m_onThisDay = nullptr;
    store::Date m_pickedDay;  // the day picked last in the side bar; none: today
    bool m_onThisDayStarted = false;
};

}  // namespace tl::frame
