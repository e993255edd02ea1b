#pragma once

// The open entries of the desktop program, as the main window sees them.
// The main window owns the menus, accelerators and the multiple-document
// area; this object owns the entry documents and their windows inside that
// area, the tab table, and everything an entry command does.

#include <QObject>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "res/command_target.h"
#include "res/commands.h"
#include "res/user_interface.h"
#include "store/records.h"
#include "tab_table.h"

class QMdiArea;
class QWidget;

namespace tl::app {
struct AppSettings;
class RecoveryWriter;
class TempFileList;
}  // namespace tl::app
namespace tl::store {
class CDiaryDataFile;
}

namespace tl::diary {

class CMarlowDoc;
class TabClickWindow;

// The desktop's sticky notes, where there are any: whether the date has
// one, peel it off, put a new one on it (replacing one there).
struct StickyNoteHooks {
    std::function<bool(store::Date)> has;
    std::function<void(store::Date)> peel;
    std::function<void(store::Date)> put;
};

// What the entry windows share with the rest of the program. Owned by the
// application; outlives the documents.
struct DiaryContext {
    app::AppSettings* settings = nullptr;
    store::CDiaryDataFile* dataFile = nullptr;
    res::UserInterface* ui = nullptr;
    std::function<std::chrono::year_month_day()> today;
    // Where the entry commands are registered; none in tests of one window.
    res::CommandRegistry* commands = nullptr;
    StickyNoteHooks stickyNotes = {};
    // The copies of attachments handed to other programs; the documents'
    // own list when none is given.
    app::TempFileList* tempFiles = nullptr;
    // The file dialogs of attaching and saving attachments (the platform's
    // when none are given; tests answer them).
    std::function<QStringList(QWidget* parent, QString* folder)> chooseFilesToAttach = {};
    std::function<QString(QWidget* parent, const QString& folder, const QString& name)>
        chooseSavePath = {};
    // Where typing waits for its save; the documents' own writer when none.
    app::RecoveryWriter* recovery = nullptr;
};

// The target of the entry commands: closing, saving, deleting, stepping and
// everything the editor and the header fields do.
class CDiaryDocuments : public QObject, public res::CommandTarget {
    Q_OBJECT

public:
    CDiaryDocuments(DiaryContext context, QMdiArea* area, QObject* parent = nullptr);
    ~CDiaryDocuments() override;

    // Opens the entry of the date or brings it forward; every other
    // unpinned entry is saved and closed first. nullptr when it cannot be
    // opened (the user was told).
    CMarlowDoc* OpenEntry(store::Date date, bool pin);
    CMarlowDoc* activeDocument() const;
    const std::vector<TabRow>& tabs() const;
    // The date of the entry opened last, {0,0,0} once none is open: the
    // calendar follows it.
    store::Date lastOpened() const;
    // The 500 ms after a tab click in which a second click toggles the pin.
    TabClickWindow& tabClickWindow() const;

    // The entry commands: whether one applies now, and running it.
    bool isEnabled(res::Cmd command) const override;
    void run(res::Cmd command) override;
    // Where the keyboard focus is: in the active entry's editor, or anywhere
    // in the active entry's window (editor or header fields).
    bool editorHasFocus() const;
    bool entryHasFocus() const;

    // Saves every modified entry without asking; false when one failed
    // (told). Before long operations and at shut-down.
    bool SaveAll();
    // Saves and closes every entry (data file replaced or closing). An
    // entry whose save failed (told) stays open and modified unless the
    // user chose to lose it; false when one stayed.
    enum class Unsaved { Keep, Discard };
    bool CloseAll(Unsaved unsaved = Unsaved::Keep);
    void DeleteEntry(store::Date date);

    // One tick of the blink clock for every header view.
    void blinkTick(bool phaseOn);
    // Re-applies the default font settings to every open editor, as a new
    // editor applies them; after "Default font" changed them.
    void applyDefaultFont();
    // After the display settings changed: the tabs take or drop the day of
    // the week (when that changed), every editor its background, every
    // header shows or hides the weather, and all is repainted.
    void applyDisplaySettings(bool weekdayChanged);

    // The open document of the date, or nullptr.
    CMarlowDoc* document(store::Date date) const;
    std::vector<CMarlowDoc*> documents() const;
    // "Weather Settings": edits the twenty choices, writes them to the data
    // file and refills every header. False when cancelled.
    bool editWeatherChoices(QWidget* parent);
    // The keyboard's way to the tab menu: the active entry's, under its tab.
    void showActiveTabMenu();
    // Save by changing date for the active entry, through the dialog.
    void saveActiveAsDate();
    // The dialog's last check of a new date: refused (told) when the date
    // is open, asked "Replace existing diary?" (OK, Cancel) when it holds
    // an entry.
    bool canSaveAsDate(store::Date date);
    // Previous and next work without an open entry too: from the last and
    // the first date that has a diary.
    void openPreviousOrNext(bool next);
    // "Copy link text" of a date (calendar, day list, tab menu).
    void copyLinkText(store::Date date);
    // The close step for the copies of attachments handed to other
    // programs: each is deleted, a copy still open is reported (Retry or
    // Skip). By default the process table says what is open and a dialog
    // asks.
    void removeTemporaryCopies(std::function<bool(const std::string&)> inUse = {},
                               std::function<bool(const std::string&)> askRetry = {});
    const app::TempFileList& temporaryCopies() const;
    // After the data file opened: entries whose typing a crash cut off come
    // back from their recovery files, open and modified, and the user is
    // told which.
    void bringBackTyping();
    app::RecoveryWriter& recoveryWriter();
    // Where the attachment manager lists the copies it drags out.
    app::TempFileList& temporaryCopies();

signals:
    // An entry was saved or deleted: the side bar and calendar follow.
    void entryChanged(store::Date date);
    // lastOpened() changed.
    void lastOpenedChanged(store::Date date);
    void activeEntryChanged();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tl::diary
