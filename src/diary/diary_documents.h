#pragma once

// The open entries of the desktop program, as the main window sees them.
// The main window owns the menus, accelerators and the multiple-document
// area; this object owns the entry documents and their windows inside that
// area, the tab table, and everything an entry command does.

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "res/commands.h"
#include "res/user_interface.h"
#include "store/records.h"

class QMdiArea;

namespace tl::app {
struct AppSettings;
}
namespace tl::store {
class CDiaryDataFile;
}

namespace tl::diary {

class CMarlowDoc;

// What the entry windows share with the rest of the program. Owned by the
// application; outlives the documents.
struct DiaryContext {
    app::AppSettings* settings = nullptr;
    store::CDiaryDataFile* dataFile = nullptr;
    res::UserInterface* ui = nullptr;
    std::function<std::chrono::year_month_day()> today;
};

// One row of the tab table (at most kMaxTabs rows).
struct TabRow {
    std::u16string name;  // entry name without the day of the week
    int width = 0;
    bool pinned = false;
    store::Date date;
};
inline constexpr int kMaxTabs = 100;

class CDiaryDocuments : public QObject {
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

    // Entry commands routed by the main window: whether the command applies
    // now, and running it. Commands that are not entry commands answer
    // false to both.
    bool isEnabled(res::Cmd command) const;
    bool execute(res::Cmd command);

    // Saves every modified entry without asking; false when one failed
    // (told). Before long operations and at shut-down.
    bool SaveAll();
    // Saves and closes every entry (data file replaced or closing).
    void CloseAll();
    void DeleteEntry(store::Date date);

    // One tick of the blink clock for every header view.
    void blinkTick(bool phaseOn);

signals:
    // An entry was saved or deleted: the side bar and calendar follow.
    void entryChanged(store::Date date);
    // The date of the most recently opened entry ({0,0,0} once none is open).
    void lastOpenedChanged(store::Date date);
    void activeEntryChanged();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tl::diary
