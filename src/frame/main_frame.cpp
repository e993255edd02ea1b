#include "main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <set>

#include "app/data_file_settings.h"
#include "app/failure_report.h"
#include "app/qt/qt_tick_source.h"
#include "app/startup.h"
#include "appearance_dlg.h"
#include "calendar/calender_ctl.h"
#include "calendar/day_bar.h"
#include "calendar/day_wnd.h"
#include "calendar/side_bar_layout.h"
#include "calendar/year_day_table.h"
#include "default_font_dlg.h"
#include "diary/color_setting_dlg.h"
#include "diary/diary_documents.h"
#include "diary/finder.h"
#include "diary/marlow_doc.h"
#include "display_settings.h"
#include "exchange_commands.h"
#include "frame_bars.h"
#include "help_location.h"
#include "mdi_client.h"
#include "onthisday/on_this_day_view.h"
#include "open_date_dlg.h"
#include "other_settings_dlg.h"
#include "pw_change_dlg.h"
#include "res/kept_messages.h"
#include "sticky/blink_clock.h"
#include "sticky/husen_dlg.h"
#include "sticky/sticky_notes.h"
#include "sticky/tag_color_dlg.h"
#include "store/diary_data_file.h"
#include "widgets/scale.h"
#include "widgets/wait_cursor.h"
#include "window_state.h"

namespace tl::frame {

using res::Cmd;
using widgets::Rect;

namespace {

// The bar refresh: how often the enabling of menu items and keys follows
// the editor (selection, clipboard, undo).
constexpr int kRefreshMs = 100;

QString menuText(std::string_view text) {
    const std::string_view shown = text.substr(0, text.find('\t'));
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

store::Date toDate(std::chrono::year_month_day ymd) {
    return {static_cast<std::int16_t>(static_cast<int>(ymd.year())),
            static_cast<std::uint8_t>(static_cast<unsigned>(ymd.month())),
            static_cast<std::uint8_t>(static_cast<unsigned>(ymd.day()))};
}

// The commands the main window answers itself; the keys that nothing
// handles are among them so that they are swallowed here.
constexpr Cmd kFrameCommands[] = {
    Cmd::Today,
    Cmd::OpenSpecified,
    Cmd::ChangePassword,
    Cmd::DefaultFont,
    Cmd::DataFileSettings,
    Cmd::ToggleDataLocation,
    Cmd::OtherSettings,
    Cmd::ViewToolBar,
    Cmd::ViewEditBar,
    Cmd::ViewSideBar,
    Cmd::Help,
    Cmd::HelpContents,
    Cmd::About,
    Cmd::AppExit,
    Cmd::Escape,
    Cmd::HelpKey,
    Cmd::ShiftAltD,
    Cmd::ShiftAltR,
    Cmd::CtrlL,
    Cmd::PreviousPane,
    Cmd::ObjectProperties,
    Cmd::OnThisDay,
};

QString title() {
    const std::string_view t = res::Text(res::Msg::DisplayTitle);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

}  // namespace

CMainFrame::CMainFrame(app::AppSettings& settings, store::CDiaryDataFile& dataFile,
                       res::UserInterface& ui, Today today, QWidget* parent)
    : QMainWindow(parent),
      m_settings(settings),
      m_dataFile(dataFile),
      m_ui(ui),
      m_today(std::move(today)) {
    setWindowTitle(title());
    m_openDate = toDate(m_today());
    m_mdi = new CMDIClient(settings, this);
    setCentralWidget(m_mdi);
    m_commands.setFailureHandler(
        [this](std::exception_ptr failure) { app::ReportFailure(m_ui, failure); });
    m_commands.add(*this, kFrameCommands);
    m_notes = new sticky::CStickyNotes(m_settings, m_dataFile, m_ui, *this, &m_commands);
    diary::StickyNoteHooks notes{[this](store::Date d) { return m_notes->hasNote(d); },
                                 [this](store::Date d) { m_notes->RemoveNote(d); },
                                 [this](store::Date d) { m_notes->PutNoteReplacing(d); }};
    m_documents = new diary::CDiaryDocuments(
        {&m_settings, &m_dataFile, &m_ui, m_today, &m_commands, notes}, m_mdi, this);
    m_exchange = new CExchangeCommands(
        {&m_settings, &m_dataFile, m_documents, this,
         [this] { return m_startup ? m_startup->location().DefaultDataFolder() : std::nullopt; },
         [this] { m_notes->SaveAllNotes(); }, [this] { m_notes->LoadNotes(); }},
        this);
    m_exchange->registerCommands(m_commands);
    m_displaySettings = new CDisplaySettings(*this);
    m_bars = new CFrameBars(*this);
    // The find dialog is created hidden with the window.
    m_finder = new diary::CFinder({&m_settings, &m_dataFile, &m_ui, m_today, &m_commands},
                                  *m_documents, this, this);
    connect(this, &CMainFrame::dataFileReloaded, m_finder, &diary::CFinder::dataFileReloaded);
    createActions();
    createMenus();
    createSideBar();
    createStickyNotes();
    createOnThisDay();
    connect(m_displaySettings, &CDisplaySettings::translucencyChanged, m_notes,
            &sticky::CStickyNotes::ApplyTranslucencyToAll);
    // An exchange operation changed or replaced the data file: the side bar
    // keeps its year and reads it again, and so does everything else.
    connect(m_exchange, &CExchangeCommands::dataFileChanged, this, [this] {
        m_dayBar->ReloadYear(m_dayBar->table().year());
        emit dataFileReloaded();
    });
    createTimers();
    placeWindow();

    // Entry windows are always maximised; the caption names the entry.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (window && !window->isMaximized()) window->showMaximized();
        setWindowTitle(window && !window->windowTitle().isEmpty()
                           ? title() + QStringLiteral(" - ") + window->windowTitle()
                           : title());
        updateActions();
    });
    connect(m_documents, &diary::CDiaryDocuments::activeEntryChanged, this,
            &CMainFrame::updateActions);
    // What the keys and the editing commands act on follows the focus.
    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::updateActions);
    m_commands.setChangeListener([this](Cmd cmd) { updateAction(cmd, commandState()); });
    updateActions();
}

// The area and the documents go with the widget's children, after this
// object has stopped being a CMainFrame: their signals must not reach it.
CMainFrame::~CMainFrame() {
    // The notes are written back while everything they use still exists.
    m_notes->SaveAllNotes();
    m_refreshTimer->stop();
    m_blinkClock->stop();
    m_mdi->disconnect(this);
    m_documents->disconnect(this);
    disconnect(qApp, nullptr, this, nullptr);
    m_commands.setChangeListener({});
    // The documents, find and the notes leave the registry before it goes
    // with this object.
    delete m_finder;
    delete m_documents;
    delete m_displaySettings;
    delete m_notes;
}

// Menu items and keys are kept apart: a menu item runs its command
// wherever the focus is, a key only within its scope. The menus show the
// key in their text.
void CMainFrame::createActions() {
    for (Cmd cmd : MenuAndKeyCommands()) {
        auto* action = new QAction(this);
        action->setCheckable(IsCheckable(cmd));
        connect(action, &QAction::triggered, this, [this, cmd] { runCommand(cmd); });
        m_actions.emplace(cmd, action);
    }
    for (MenuKind kind : {MenuKind::NoEntry, MenuKind::Entry})
        for (const Popup& popup : Menu(kind))
            for (const MenuItem& item : popup.items)
                if (!item.separator())
                    m_actions.at(item.cmd)->setText(QString::fromUtf8(
                        item.text.data(), static_cast<qsizetype>(item.text.size())));
    for (const Accelerator& accelerator : Accelerators()) {
        auto* shortcut = new QShortcut(
            QKeySequence(QString::fromUtf8(accelerator.key.data(),
                                           static_cast<qsizetype>(accelerator.key.size()))),
            this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, cmd = accelerator.cmd, scope = accelerator.scope] { runKey(cmd, scope); });
        m_shortcuts.emplace_back(shortcut, accelerator.cmd);
    }
}

void CMainFrame::createMenus() {
    menuBar()->clear();
    for (const Popup& popup : Menu(m_menuKind)) {
        QMenu* menu = menuBar()->addMenu(menuText(popup.title));
        for (const MenuItem& item : popup.items) {
            if (item.separator())
                menu->addSeparator();
            else
                menu->addAction(m_actions.at(item.cmd));
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateActions);
    }
}

void CMainFrame::createSideBar() {
    m_dayBar =
        new calendar::CDayBar(m_dataFile, m_settings, m_ui, [this] { return toDate(m_today()); });
    m_dayBar->registerCommands(m_commands);
    m_sideBar = new QDockWidget(tr("Side Bar"), this);
    m_sideBar->setObjectName("DAYBAR");
    // The bar moves and resizes itself (its body and its inner edge), so
    // the dock has no title bar to drag.
    m_sideBar->setFeatures(QDockWidget::NoDockWidgetFeatures);
    auto* noTitle = new QWidget(m_sideBar);
    noTitle->setFixedHeight(0);
    m_sideBar->setTitleBarWidget(noTitle);
    m_sideBar->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    m_sideBar->setWidget(m_dayBar);
    const Qt::DockWidgetArea area =
        m_settings.dayBar.left == 1 ? Qt::LeftDockWidgetArea : Qt::RightDockWidgetArea;
    addDockWidget(area, m_sideBar);
    m_dayBar->setDockSide(m_settings.dayBar.left == 1 ? calendar::DockSide::Left
                                                      : calendar::DockSide::Right);
    const int width = calendar::ClampSideBarWidth(m_settings.dayBar.width, logicalDpiY());
    resizeDocks({m_sideBar}, {width}, Qt::Horizontal);
    m_sideBar->setVisible(m_settings.dayBar.visible == 1);
    connect(m_sideBar, &QDockWidget::dockLocationChanged, this, [this](Qt::DockWidgetArea where) {
        const bool left = where == Qt::LeftDockWidgetArea;
        m_settings.dayBar.left = left ? 1 : 0;
        m_dayBar->setDockSide(left ? calendar::DockSide::Left : calendar::DockSide::Right);
    });
    connect(m_dayBar, &calendar::CDayBar::widthDragged, this,
            [this](int w) { resizeDocks({m_sideBar}, {w}, Qt::Horizontal); });
    connect(m_dayBar, &calendar::CDayBar::dockSideDragged, this,
            [this](calendar::DockSide side) { dockSideBar(side == calendar::DockSide::Left); });
    connect(m_dayBar, &calendar::CDayBar::saveRequested, this, [this] { m_documents->SaveAll(); });
    connect(m_dayBar, &calendar::CDayBar::todayRequested, this,
            [this] { runCommand(res::Cmd::Today); });
    // The keyboard's way into the bar (Tab then moves between its parts).
    auto* toList = new QAction(tr("Go to the day list"), this);
    toList->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+D")));
    toList->setShortcutContext(Qt::WindowShortcut);
    addAction(toList);
    connect(toList, &QAction::triggered, this, [this] {
        if (!m_sideBar->isVisible()) runCommand(res::Cmd::ViewSideBar);
        m_dayBar->dayList()->setFocus(Qt::ShortcutFocusReason);
    });
    connect(m_documents, &diary::CDiaryDocuments::entryChanged, m_dayBar,
            &calendar::CDayBar::onEntryChanged);
    connect(m_dayBar, &calendar::CDayBar::copyLinkRequested, m_documents,
            &diary::CDiaryDocuments::copyLinkText);
    connect(m_dayBar, &calendar::CDayBar::deleteRequested, this, [this](store::Date date) {
        m_documents->DeleteEntry(date);
        updateActions();
    });
    connect(m_dayBar, &calendar::CDayBar::openRequested, this, [this](store::Date date, bool pin) {
        if (m_dataFile.IsOpen()) m_documents->OpenEntry(date, pin);
        updateActions();
    });
    // The calendar follows the entry opened last into its month and year
    // (previous, next, Open...), unless it shows that month already.
    connect(
        m_documents, &diary::CDiaryDocuments::lastOpenedChanged, this, [this](store::Date date) {
            if (date.year == 0) return;
            const int month = date.month != 0 ? date.month : m_dayBar->calendar()->displayedMonth();
            if (date.year != m_dayBar->table().year() ||
                month != m_dayBar->calendar()->displayedMonth())
                m_dayBar->ApplyYearMonth(date.year, month);
            update();
        });
}

void CMainFrame::dockSideBar(bool left) {
    const int w = m_dayBar->width();
    addDockWidget(left ? Qt::LeftDockWidgetArea : Qt::RightDockWidgetArea, m_sideBar);
    resizeDocks({m_sideBar}, {w}, Qt::Horizontal);
}

void CMainFrame::dataFileOpened() {
    m_dayBar->GoToToday();
    emit dataFileReloaded();
    m_documents->bringBackTyping();
    // Shown at start beside today's entry, which keeps the focus.
    if (!m_onThisDayStarted && m_settings.onThisDay.atStartup != 0 && m_dataFile.IsOpen()) {
        m_onThisDay->setDate(toDate(m_today()));
        m_onThisDay->show();
    }
    m_onThisDayStarted = true;
}

// A dock beside the entries, at the edge the side bar leaves free. It
// follows the day picked in the side bar while it is shown.
void CMainFrame::createOnThisDay() {
    m_onThisDay = new onthisday::COnThisDayWnd(m_dataFile, this);
    addDockWidget(m_settings.dayBar.left == 1 ? Qt::RightDockWidgetArea : Qt::LeftDockWidgetArea,
                  m_onThisDay);
    m_onThisDay->hide();
    connect(m_onThisDay->view(), &onthisday::COnThisDayView::openRequested, this,
            [this](store::Date date) {
                if (m_dataFile.IsOpen()) m_documents->OpenEntry(date, true);
                updateActions();
            });
    connect(m_onThisDay, &QDockWidget::visibilityChanged, this, [this] { updateActions(); });
    connect(m_dayBar, &calendar::CDayBar::onThisDayRequested, this, &CMainFrame::showOnThisDay);
    connect(m_dayBar, &calendar::CDayBar::dayPicked, this, [this](store::Date date) {
        m_pickedDay = date;
        if (m_onThisDay->isVisible()) m_onThisDay->setDate(date);
    });
    const auto reload = [this] {
        if (m_onThisDay->isVisible()) m_onThisDay->view()->reload();
    };
    connect(m_documents, &diary::CDiaryDocuments::entryChanged, this, reload);
    connect(this, &CMainFrame::dataFileReloaded, this, reload);
}

void CMainFrame::showOnThisDay(store::Date date) {
    if (!m_dataFile.IsOpen() || date.month == 0) return;
    m_onThisDay->setDate(date);
    m_onThisDay->show();
    m_onThisDay->raise();
    m_onThisDay->view()->setFocus(Qt::OtherFocusReason);
    updateActions();
}

void CMainFrame::createStickyNotes() {
    connect(m_notes, &sticky::CStickyNotes::openRequested, this, [this](store::Date date) {
        if (m_dataFile.IsOpen()) m_documents->OpenEntry(date, true);
        updateActions();
    });
    m_notes->setCurrentDate([this]() -> std::optional<store::Date> {
        if (diary::CMarlowDoc* doc = m_documents->activeDocument()) return doc->date();
        return std::nullopt;
    });
    connect(this, &CMainFrame::dataFileReloaded, m_notes, &sticky::CStickyNotes::ReloadNotes);
    m_dayBar->setStickyNoteQuery([this](store::Date d) { return m_notes->hasNote(d); });
    connect(m_dayBar, &calendar::CDayBar::putNoteRequested, m_notes,
            &sticky::CStickyNotes::PutNoteChecked);
    connect(m_dayBar, &calendar::CDayBar::peelNoteRequested, m_notes,
            &sticky::CStickyNotes::RemoveNote);
}

// The one blink clock: every blinking element in its fixed order.
void CMainFrame::createTimers() {
    using sticky::BlinkTarget;
    m_blinkClock = new sticky::CBlinkClock(m_settings, std::make_unique<app::QtTickSource>(), this);
    m_blinkClock->set(BlinkTarget::DayList,
                      [this](bool on) { m_dayBar->dayList()->onBlinkTick(on); });
    m_blinkClock->set(BlinkTarget::TitleColorDialog, [](bool on) {
        if (diary::CColorSettingDlg* dialog = diary::CColorSettingDlg::active())
            dialog->blinkTick(on);
    });
    m_blinkClock->set(BlinkTarget::DisplaySettingsDialog, [](bool on) {
        if (CAppearanceDlg* dialog = CAppearanceDlg::active()) dialog->blinkTick(on);
    });
    m_blinkClock->set(BlinkTarget::StickySettingsDialog, [](bool on) {
        if (sticky::CHusenDlg* dialog = sticky::CHusenDlg::active()) dialog->blinkTick(on);
    });
    m_blinkClock->set(BlinkTarget::StickyColorDialog, [](bool on) {
        if (sticky::CTagColorDlg* dialog = sticky::CTagColorDlg::active()) dialog->blinkTick(on);
    });
    // BlinkTarget::SideBar: the bar itself draws nothing that blinks.
    m_blinkClock->set(BlinkTarget::Calendar,
                      [this](bool on) { m_dayBar->calendar()->onBlinkTick(on); });
    m_blinkClock->set(BlinkTarget::HeaderViews, [this](bool on) { m_documents->blinkTick(on); });
    m_blinkClock->set(BlinkTarget::StickyNotes, [this](bool on) { m_notes->blinkTick(on); });
    m_refreshTimer = new QTimer(this);
    connect(m_refreshTimer, &QTimer::timeout, this, &CMainFrame::updateActions);
    m_refreshTimer->start(kRefreshMs);
}

void CMainFrame::restartBlinkTimer() {
    m_blinkClock->restart();
}

void CMainFrame::placeWindow() {
    std::vector<Rect> areas;
    if (QScreen* primary = QApplication::primaryScreen()) {
        const QRect a = primary->availableGeometry();
        areas.push_back({a.left(), a.top(), a.left() + a.width(), a.top() + a.height()});
    }
    for (QScreen* screen : QApplication::screens()) {
        const QRect a = screen->availableGeometry();
        areas.push_back({a.left(), a.top(), a.left() + a.width(), a.top() + a.height()});
    }
    const auto& w = m_settings.window;
    const Rect r = PlaceRestoredRect({w.left, w.top, w.right, w.bottom}, areas);
    setGeometry(r.left, r.top, r.width(), r.height());
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_firstShow) return;
    m_firstShow = false;
    m_dayBar->GoToToday();
    // The window appears at its restored rectangle first, so that
    // restoring it later returns there.
    if (const std::optional<ShowState> state = ParseShowState(m_settings.window.state)) {
        if (*state == ShowState::Maximized)
            setWindowState(windowState() | Qt::WindowMaximized);
        else if (*state == ShowState::Minimized)
            setWindowState(windowState() | Qt::WindowMinimized);
    }
}

void CMainFrame::storeWindowState() {
    const bool restoredElsewhere = isMaximized() || isMinimized();
    const QRect r = restoredElsewhere && normalGeometry().isValid() ? normalGeometry() : geometry();
    auto& w = m_settings.window;
    w.left = r.left();
    w.top = r.top();
    w.right = r.left() + r.width();
    w.bottom = r.top() + r.height();
    const ShowState state = isMinimized()   ? ShowState::Minimized
                            : isMaximized() ? ShowState::Maximized
                                            : ShowState::Normal;
    w.state = std::string(ShowStateText(state));
    if (m_sideBar->isVisible()) m_settings.dayBar.width = m_sideBar->width();
}

void CMainFrame::bringToFront() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

CommandState CMainFrame::commandState() const {
    CommandState state;
    state.dataOpen = m_dataFile.IsOpen();
    state.readOnly = m_dataFile.IsReadOnly();
    state.findTextEmpty = m_settings.find.text.empty();
    state.sideBarVisible = m_settings.dayBar.visible == 1;
    return state;
}

bool CMainFrame::isCommandEnabled(Cmd cmd) const {
    return IsCommandAllowed(cmd, commandState()) && m_commands.isEnabled(cmd);
}

QAction* CMainFrame::action(Cmd cmd) const {
    const auto it = m_actions.find(cmd);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::updateAction(Cmd cmd, const CommandState& state) {
    const bool enabled = IsCommandAllowed(cmd, state) && m_commands.isEnabled(cmd);
    if (QAction* item = action(cmd)) {
        item->setEnabled(enabled);
        if (item->isCheckable()) item->setChecked(m_commands.isChecked(cmd).value_or(false));
    }
    for (const auto& [shortcut, command] : m_shortcuts)
        if (command == cmd) shortcut->setEnabled(enabled);
}

void CMainFrame::updateActions() {
    const CommandState state = commandState();
    const bool entryOpen = !m_documents->tabs().empty() || m_documents->activeDocument() != nullptr;
    const MenuKind kind = entryOpen ? MenuKind::Entry : MenuKind::NoEntry;
    if (kind != m_menuKind) {
        m_menuKind = kind;
        createMenus();
    }
    for (const auto& entry : m_actions) updateAction(entry.first, state);
    if (m_bars) m_bars->refresh();
}

bool CMainFrame::runCommand(Cmd cmd) {
    if (!isCommandEnabled(cmd)) return false;
    m_commands.run(cmd);
    updateActions();
    return true;
}

// A key outside its scope does nothing, so that F9 typed in the day list
// never reaches the editor; a disabled key goes on to the focused widget.
void CMainFrame::runKey(Cmd cmd, KeyScope scope) {
    if (scope == KeyScope::Editor && !m_documents->editorHasFocus()) return;
    if (scope == KeyScope::Entry && !m_documents->entryHasFocus()) return;
    runCommand(cmd);
}

// The commands the main window answers itself.
bool CMainFrame::isEnabled(Cmd) const {
    return true;
}

std::optional<bool> CMainFrame::isChecked(Cmd cmd) const {
    switch (cmd) {
        case Cmd::ViewToolBar:
            return m_settings.toolBar.visible == 1;
        case Cmd::ViewEditBar:
            return m_settings.editBar.visible == 1;
        case Cmd::ViewSideBar:
            return m_settings.dayBar.visible == 1;
        case Cmd::OnThisDay:
            return m_onThisDay && m_onThisDay->isVisible();
        default:
            return std::nullopt;
    }
}

void CMainFrame::run(Cmd cmd) {
    switch (cmd) {
        case Cmd::Today:
            openToday();
            break;
        case Cmd::OpenSpecified:
            openSpecified();
            break;
        case Cmd::ChangePassword:
            changePassword();
            break;
        case Cmd::DefaultFont:
            defaultFont();
            break;
        case Cmd::DataFileSettings:
            dataFileSettings();
            break;
        case Cmd::ToggleDataLocation:
            toggleDataLocation();
            break;
        case Cmd::OtherSettings:
            otherSettings();
            break;
        case Cmd::ViewToolBar:
            m_settings.toolBar.visible = m_settings.toolBar.visible == 1 ? 0 : 1;
            m_bars->showAsSet();
            break;
        case Cmd::ViewEditBar:
            m_settings.editBar.visible = m_settings.editBar.visible == 1 ? 0 : 1;
            m_bars->showAsSet();
            break;
        case Cmd::ViewSideBar:
            m_settings.dayBar.visible = m_settings.dayBar.visible == 1 ? 0 : 1;
            m_sideBar->setVisible(m_settings.dayBar.visible == 1);
            break;
        case Cmd::Help:
        case Cmd::HelpContents:
        case Cmd::HelpKey:
            showHelp();
            break;
        case Cmd::About:
            showAbout();
            break;
        case Cmd::AppExit:
            close();
            break;
        case Cmd::OnThisDay:
            if (m_onThisDay->isVisible())
                m_onThisDay->hide();
            else
                showOnThisDay(m_pickedDay.month != 0 ? m_pickedDay : toDate(m_today()));
            break;
        default:
            break;  // keys that are accepted and do nothing
    }
}

void CMainFrame::openToday() {
    widgets::WaitCursor wait;
    const store::Date today = toDate(m_today());
    // The second call finds the entry open and pins it: a new entry opened
    // from Today is kept when another date is opened.
    if (m_documents->OpenEntry(today, true)) m_documents->OpenEntry(today, true);
}

void CMainFrame::openSpecified() {
    CSpecifyDateDlg dialog(m_openDate, m_ui, this);
    if (dialog.exec() != QDialog::Accepted) return;
    m_openDate = dialog.date();
    m_documents->OpenEntry(m_openDate, true);
}

void CMainFrame::changePassword() {
    CPwChangeDlg dialog(m_dataFile.GetPassword(), m_ui, this);
    if (dialog.exec() == QDialog::Accepted) (void)m_dataFile.SetPassword(dialog.newPassword());
}

void CMainFrame::defaultFont() {
    CDefaultFontDlg dialog(m_settings, this);
    if (dialog.exec() == QDialog::Accepted) documents().applyDefaultFont();
}

void CMainFrame::dataFileSettings() {
    if (!m_startup) return;
    const auto before = m_settings.file;
    if (m_startup->location().RunDataFileSettings(app::SettingsMode::Command))
        reopenDataFile(before.locationDefault, before.location);
}

void CMainFrame::toggleDataLocation() {
    const auto before = m_settings.file;
    if (app::ToggleDataLocation(m_settings))
        reopenDataFile(before.locationDefault, before.location);
}

// The data location changed: every entry is saved and closed, and the data
// file is looked for again. Without a data file the program cannot go on.
// An entry that cannot be saved stays open in the old file, and so does the
// old location.
void CMainFrame::reopenDataFile(int locationDefaultBefore, const std::string& locationBefore) {
    if (!m_startup) return;
    {
        widgets::WaitCursor wait;
        if (!m_documents->CloseAll()) {
            m_settings.file.locationDefault = locationDefaultBefore;
            m_settings.file.location = locationBefore;
            m_ui.warn(res::kept::LocationKeptForUnsavedEntry);
            return;
        }
    }
    if (m_startup->StartDiaryData() == 0)
        close();
    else
        dataFileOpened();
}

void CMainFrame::otherSettings() {
    COtherSettingsDlg dialog(m_settings, m_ui, this);
    dialog.exec();
}

void CMainFrame::showHelp() {
    OpenUserGuide(m_ui);
}

void CMainFrame::showAbout() {
    QMessageBox::about(this, tr("About %1").arg(title()),
                       QStringLiteral("<b>%1</b> %2").arg(title(), QStringLiteral(TL_VERSION)));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Copies of attachments handed to other programs go first; one still
    // open there is reported.
    m_documents->removeTemporaryCopies();
    app::CleanTempFolder();
    // Nothing typed is lost silently: when an entry cannot be saved the
    // user decides whether to close all the same.
    if (!m_documents->SaveAll() && !m_ui.askYesNo(res::Text(res::Msg::CloseWithUnsavedEntry))) {
        event->ignore();
        return;
    }
    m_documents->CloseAll(diary::CDiaryDocuments::Unsaved::Discard);
    storeWindowState();
    m_refreshTimer->stop();
    event->accept();
}

}  // namespace tl::frame
