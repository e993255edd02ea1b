#include "sticky_notes.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QScreen>
#include <QWidget>

#include "app/app_settings.h"
#include "app/clock.h"
#include "husen_dlg.h"
#include "new_note.h"
#include "res/user_interface.h"
#include "store/diary_data_file.h"
#include "widgets/popup_menu.h"

namespace tl::sticky {

namespace {

using res::Cmd;

constexpr Cmd kNoteCommands[] = {Cmd::StickyOpen, Cmd::StickyPeelOff, Cmd::StickySettings};

store::Date ToDate(std::chrono::year_month_day ymd) {
    return {static_cast<std::int16_t>(static_cast<int>(ymd.year())),
            static_cast<std::uint8_t>(static_cast<unsigned>(ymd.month())),
            static_cast<std::uint8_t>(static_cast<unsigned>(ymd.day()))};
}

}  // namespace

CStickyNotes::CStickyNotes(app::AppSettings& settings, store::CDiaryDataFile& file,
                           res::UserInterface& ui, QWidget& mainWindow,
                           res::CommandRegistry* commands)
    : QObject(&mainWindow),
      m_settings(settings),
      m_file(file),
      m_ui(ui),
      m_main(mainWindow),
      m_commands(commands),
      m_clock(&app::SystemClock::instance()),
      m_offered(TranslucentWindowsOffered()) {
    if (m_commands) m_commands->add(*this, kNoteCommands);
    m_main.installEventFilter(this);
    // The keyboard's way to the notes (Tab, the arrows and Esc go on from
    // there).
    auto* toNotes = new QAction(tr("Go to the sticky notes"), &m_main);
    toNotes->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+N")));
    toNotes->setShortcutContext(Qt::WindowShortcut);
    m_main.addAction(toNotes);
    connect(toNotes, &QAction::triggered, this, &CStickyNotes::focusNotes);
}

CStickyNotes::~CStickyNotes() {
    m_main.removeEventFilter(this);
    if (m_commands) m_commands->remove(*this);
}

CTagWnd& CStickyNotes::at(std::size_t slot) const {
    // Every window of the table is made by makeWindow.
    return static_cast<CTagWnd&>(m_table.at(slot));
}

CTagWnd* CStickyNotes::note(store::Date date) const {
    const std::optional<std::size_t> slot = m_table.FindNote(date);
    return slot ? &at(*slot) : nullptr;
}

std::unique_ptr<NoteWindow> CStickyNotes::makeWindow(const store::StickyNote& note) {
    NoteHost& host = *this;
    auto window = std::make_unique<CTagWnd>(note, host, &m_main);
    if (!window->CreateNote()) return nullptr;
    window->ApplyTranslucency(m_settings, m_offered);
    return window;
}

void CStickyNotes::LoadNotes() {
    m_table.LoadNotes(m_file, [this](const store::StickyNote& n) { return makeWindow(n); });
    ArrangeNotes();
}

void CStickyNotes::SaveAllNotes() {
    m_table.SaveAllNotes(m_file);
}

void CStickyNotes::ReloadNotes() {
    SaveAllNotes();
    LoadNotes();
}

bool CStickyNotes::PutNote(store::Date date) {
    if (!m_file.IsOpen()) return false;
    if (m_table.full()) {
        m_ui.warn(res::Msg::NoMoreStickyNotes);
        return false;
    }
    store::EntryHeader header;
    m_file.ReadEntryHeader(date, &header);
    const QScreen* screen = m_main.screen();
    const int desktopLeft = screen ? screen->availableVirtualGeometry().left() : 0;
    const NoteSide side = NewNoteSide(m_main.frameGeometry().left(), desktopLeft);
    std::unique_ptr<NoteWindow> window = makeWindow(NewNote(m_settings, date, header.title, side));
    if (!window) {
        m_ui.warn(res::Msg::StickyNoteCreateFailed);
        return false;
    }
    m_table.AddNote(std::move(window));
    ArrangeNotes();
    return true;
}

void CStickyNotes::PutNoteChecked(store::Date date) {
    if (hasNote(date)) {
        m_ui.warn(date.month == 0 ? res::Msg::YearHasStickyNote
                  : date.day == 0 ? res::Msg::MonthHasStickyNote
                                  : res::Msg::DayHasStickyNote);
        return;
    }
    PutNote(date);
}

void CStickyNotes::PutNoteReplacing(store::Date date) {
    RemoveNote(date);
    PutNote(date);
}

bool CStickyNotes::RemoveNote(store::Date date) {
    const bool hadFocus = note(date) && note(date)->isActiveWindow();
    if (!m_table.RemoveNote(date, m_file)) return false;
    if (hadFocus) m_main.activateWindow();
    return true;
}

std::optional<EdgeArea> CStickyNotes::edgeArea() const {
    if (!m_main.isVisible()) return std::nullopt;
    const QRect outer = m_main.frameGeometry();
    return EdgeArea{outer.left(), outer.top(), outer.left() + outer.width(),
                    outer.top() + outer.height()};
}

bool CStickyNotes::writable() const {
    return m_file.IsWritable();
}

bool CStickyNotes::mainWindowHidesNotes() const {
    return !m_main.isVisible() || m_main.isMinimized() || m_main.isMaximized();
}

void CStickyNotes::arrangeNotes() {
    const std::optional<EdgeArea> area = edgeArea();
    if (!area) {
        m_table.ShowAllNotes(false);
        return;
    }
    m_table.ArrangeNotes(*area);
    m_table.ShowAllNotes(!mainWindowHidesNotes());
}

void CStickyNotes::ArrangeNotes() {
    arrangeNotes();
    takeBackFocus();
}

void CStickyNotes::takeBackFocus() {
    QWidget* active = QApplication::activeWindow();
    for (std::size_t i = 0; i < m_table.count(); ++i)
        if (&at(i) == active) {
            m_main.activateWindow();
            return;
        }
}

void CStickyNotes::HideAllNotes() {
    m_table.ShowAllNotes(false);
}

void CStickyNotes::ShowAllNotes() {
    if (!mainWindowHidesNotes()) m_table.ShowAllNotes(true);
}

void CStickyNotes::ApplyTranslucencyToAll() {
    for (std::size_t i = 0; i < m_table.count(); ++i)
        at(i).ApplyTranslucency(m_settings, m_offered);
}

void CStickyNotes::blinkTick(bool phaseOn) {
    m_table.BlinkTick(phaseOn, ToDate(m_clock->now().date));
}

bool CStickyNotes::focusNotes() {
    if (m_table.count() == 0 || mainWindowHidesNotes()) return false;
    CTagWnd* target = nullptr;
    if (m_currentDate)
        if (const std::optional<store::Date> date = m_currentDate()) target = note(*date);
    if (!target) target = &at(0);
    target->takeKeyboardFocus(Qt::ShortcutFocusReason);
    return true;
}

void CStickyNotes::focusNextNote(CTagWnd& from, bool forward) {
    const std::optional<std::size_t> slot = m_table.SlotOf(from);
    if (!slot || m_table.count() < 2) return;
    const std::size_t n = m_table.count();
    CTagWnd& next = at(forward ? (*slot + 1) % n : (*slot + n - 1) % n);
    next.takeKeyboardFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void CStickyNotes::returnFocus(CTagWnd&) {
    m_main.activateWindow();
}

void CStickyNotes::openNote(CTagWnd& note) {
    const store::Date date = note.note().date;
    m_main.activateWindow();
    emit openRequested(date);
}

bool CStickyNotes::editNote(CTagWnd& note) {
    CHusenDlg dialog(note.note(), m_settings, m_ui, m_offered, &m_main);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The note may have gone meanwhile (a reload while the dialog was open).
    if (accepted && m_table.SlotOf(note)) {
        note.setNote(dialog.note());
        note.ApplyTranslucency(m_settings, m_offered);
    }
    return accepted;
}

void CStickyNotes::showNoteMenu(CTagWnd& note, QPoint globalPos) {
    m_menuNote = &note;
    const bool keyboard = note.hasFocus();
    QMenu menu(&note);
    const auto add = [&](const QString& text, Cmd cmd) {
        QAction* item = menu.addAction(text);
        item->setEnabled(isEnabled(cmd));
        item->setData(static_cast<int>(cmd));
    };
    add(tr("&Open this diary"), Cmd::StickyOpen);
    add(tr("&Peel off sticky"), Cmd::StickyPeelOff);
    add(tr("&Settings"), Cmd::StickySettings);
    QAction* chosen = widgets::ExecPopupMenu(menu, globalPos);
    if (!chosen) {
        m_menuNote.clear();
        if (!keyboard) m_main.activateWindow();
        return;
    }
    // Run from the event loop: peeling destroys the window whose event
    // handler shows this menu.
    const Cmd cmd = static_cast<Cmd>(chosen->data().toInt());
    QMetaObject::invokeMethod(
        this,
        [this, cmd] {
            if (m_commands)
                m_commands->run(cmd);
            else if (isEnabled(cmd))
                run(cmd);
            m_menuNote.clear();
        },
        Qt::QueuedConnection);
}

CTagWnd* CStickyNotes::commandNote() const {
    if (m_menuNote) return m_menuNote.data();
    for (std::size_t i = 0; i < m_table.count(); ++i)
        if (at(i).hasFocus()) return &at(i);
    return nullptr;
}

bool CStickyNotes::isEnabled(Cmd cmd) const {
    if (!commandNote()) return false;
    return cmd == Cmd::StickyOpen || writable();
}

void CStickyNotes::run(Cmd cmd) {
    CTagWnd* target = commandNote();
    if (!target) return;
    switch (cmd) {
        case Cmd::StickyOpen:
            openNote(*target);
            break;
        case Cmd::StickyPeelOff:
            RemoveNote(target->note().date);
            m_main.activateWindow();
            break;
        case Cmd::StickySettings:
            editNote(*target);
            break;
        default:
            break;
    }
}

// The notes follow the main window: they move with it, hide while it is
// minimised or maximised and come back when it is restored.
bool CStickyNotes::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_main) return false;
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
            arrangeNotes();
            break;
        case QEvent::WindowStateChange:
            if (m_main.isMinimized() || m_main.isMaximized()) {
                HideAllNotes();
            } else {
                ShowAllNotes();
                arrangeNotes();
            }
            break;
        case QEvent::Hide:
            HideAllNotes();
            break;
        default:
            break;
    }
    return false;
}

}  // namespace tl::sticky
