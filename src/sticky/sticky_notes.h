#pragma once

// The main window's sticky notes: the table of note windows and everything
// done with it. Loads them from the data file and writes them back, puts
// and peels notes, keeps them at the main window's edges as it moves,
// resizes, minimises and restores, and answers the commands of a note's
// menu. The notes follow the main window through an event filter on it.

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

#include "note_table.h"
#include "res/command_target.h"
#include "tag_wnd.h"

class QWidget;

namespace tl::app {
struct AppSettings;
class Clock;
}  // namespace tl::app
namespace tl::res {
class UserInterface;
}

namespace tl::sticky {

class CStickyNotes : public QObject, public res::CommandTarget, private NoteHost {
    Q_OBJECT

public:
    // The notes belong to mainWindow; commands, when given, is where the
    // note menu's commands are registered.
    CStickyNotes(app::AppSettings& settings, store::CDiaryDataFile& file, res::UserInterface& ui,
                 QWidget& mainWindow, res::CommandRegistry* commands = nullptr);
    ~CStickyNotes() override;

    // Where "today" of the blink terms comes from: the calendar date, not
    // the diary's day that starts at TODAYRANGE.
    void setClock(const app::Clock& clock) { m_clock = &clock; }
    // The date whose note the keyboard goes to first (the active entry's).
    void setCurrentDate(std::function<std::optional<store::Date>()> current) {
        m_currentDate = std::move(current);
    }

    // A window for every stored note (the file must be open).
    void LoadNotes();
    // Every note written back (unless the file cannot be written) and
    // every window gone.
    void SaveAllNotes();
    // The data file was opened or replaced: the notes shown are written
    // into it, then its notes are shown.
    void ReloadNotes();
    // A new note on the date from the defaults, with the entry's title as
    // its text; false when the table is full or the window failed (told).
    bool PutNote(store::Date date);
    // Put from the calendar and the day list: told when the date has one.
    void PutNoteChecked(store::Date date);
    // Put from the tab menu: a note of the date is replaced by a new one.
    void PutNoteReplacing(store::Date date);
    // Peels off the date's note: its record and its window go.
    bool RemoveNote(store::Date date);
    bool hasNote(store::Date date) const { return m_table.FindNote(date).has_value(); }
    CTagWnd* note(store::Date date) const;
    std::size_t count() const { return m_table.count(); }
    CTagWnd& at(std::size_t slot) const;

    void ArrangeNotes();
    void HideAllNotes();
    void ShowAllNotes();
    // After the TAG settings changed.
    void ApplyTranslucencyToAll();
    // The notes' part of a blink round.
    void blinkTick(bool phaseOn);
    // The keyboard's way to the notes: the current date's note, else the
    // first; false when no note can take the focus.
    bool focusNotes();
    // "Sticky note Settings" for the note; true on OK.
    bool editNote(CTagWnd& note);

    // The note menu's commands.
    bool isEnabled(res::Cmd cmd) const override;
    void run(res::Cmd cmd) override;

signals:
    // Open and pin the entry of the date.
    void openRequested(store::Date date);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // NoteHost
    std::optional<EdgeArea> edgeArea() const override;
    bool writable() const override;
    void arrangeNotes() override;
    void openNote(CTagWnd& note) override;
    void showNoteMenu(CTagWnd& note, QPoint globalPos) override;
    void focusNextNote(CTagWnd& note, bool forward) override;
    void returnFocus(CTagWnd& note) override;

    std::unique_ptr<NoteWindow> makeWindow(const store::StickyNote& note);
    // The note the menu commands act on.
    CTagWnd* commandNote() const;
    bool mainWindowHidesNotes() const;
    // A note holds the activation: give it back to the main window.
    void takeBackFocus();

    app::AppSettings& m_settings;
    store::CDiaryDataFile& m_file;
    res::UserInterface& m_ui;
    QWidget& m_main;
    res::CommandRegistry* m_commands;
    const app::Clock* m_clock;
    std::function<std::optional<store::Date>()> m_currentDate;
    const bool m_offered;
    StickyNoteTable m_table;
    QPointer<CTagWnd> m_menuNote;
};

}  // namespace tl::sticky
