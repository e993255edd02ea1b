#pragma once

// The side bar: the today and yesterday buttons, the month calendar and the
// day list with its scroll bar and month buttons. Owns the year day table
// that the calendar and the list draw from, and keeps it patched as entries
// change.

#include <QBrush>
#include <QWidget>
#include <functional>
#include <memory>

#include "res/command_target.h"
#include "side_bar_layout.h"
#include "store/records.h"

class QPushButton;
class QScrollBar;

namespace tl::app {
struct AppSettings;
}
namespace tl::store {
class CDiaryDataFile;
}
namespace tl::res {
class UserInterface;
}

namespace tl::calendar {

class CCalenderCtl;
class CDayWnd;
class CScrollBtn;
class YearDayTable;

// Answers the side bar's commands: the calendar toggle, only dates that
// have a diary (F6) and the width toggle (F4).
class CDayBar : public QWidget, public res::CommandTarget {
    Q_OBJECT

public:
    using Today = std::function<store::Date()>;
    CDayBar(store::CDiaryDataFile& file, app::AppSettings& settings, res::UserInterface& ui,
            Today today, QWidget* parent = nullptr);
    ~CDayBar() override;

    // Rebuilds the table for the year, keeping the list near the day it showed.
    void ReloadYear(int year);
    void GoToToday();
    // Shows year and month in the calendar, with that month at the top of
    // the day list.
    void ApplyYearMonth(int year, int month);
    // The year and month dialog preset with what is shown; OK applies it.
    void chooseYearMonth();
    void setCalendarShown(bool shown);
    bool calendarShown() const;
    void toggleExistOnly();
    // Between the narrow width and the standard one.
    void toggleWidth();
    void registerCommands(res::CommandRegistry& commands);
    bool isEnabled(res::Cmd cmd) const override;
    void run(res::Cmd cmd) override;
    std::optional<bool> isChecked(res::Cmd cmd) const override;
    // Patches the table after the date's entry or attachments changed.
    void onEntryChanged(store::Date date);

    // Whether a date has a sticky note: the main window's notes answer.
    // Without it the menus' sticky note items stay greyed.
    void setStickyNoteQuery(std::function<bool(store::Date)> hasNote) {
        m_hasNote = std::move(hasNote);
    }

    // Which edge of the main window holds the bar: the grip is the other.
    void setDockSide(DockSide side) { m_dockSide = side; }
    DockSide dockSide() const { return m_dockSide; }

    const YearDayTable& table() const { return *m_table; }
    CCalenderCtl* calendar() const { return m_calendar; }
    CDayWnd* dayList() const { return m_dayList; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void openRequested(store::Date date, bool pin);
    void deleteRequested(store::Date date);
    // The menus' "Put sticky note" and "Peel off sticky".
    void putNoteRequested(store::Date date);
    void peelNoteRequested(store::Date date);
    // "Copy link text" of a day, a month note or a year note.
    void copyLinkRequested(store::Date date);
    // The Today button: the main window's Today command.
    void todayRequested();
    // Open entries with changes are to be saved: the bar or its list took
    // the focus, or a menu of the list is about to act on a date.
    void saveRequested();
    // The grip was dragged: the bar wants this width (live).
    void widthDragged(int width);
    // The bar was dragged over the other half of the main window.
    void dockSideDragged(DockSide side);
    // The day's "On this day": the date in every year (day 0: the month's
    // notes); from the bar's button, the date picked last.
    void onThisDayRequested(store::Date date);
    // A day was picked in the calendar or opened from the bar.
    void dayPicked(store::Date date);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createChildren();
    void layoutChildren();
    void showMonth(int month);
    void applyClickSettings();
    void monthPage(bool down);
    void showContextMenu(store::Date date, QPoint globalPos);

    store::CDiaryDataFile& m_file;
    app::AppSettings& m_settings;
    res::UserInterface& m_ui;
    Today m_today;
    std::function<bool(store::Date)> m_hasNote;
    std::unique_ptr<YearDayTable> m_table;
    QPushButton* m_todayButton = nullptr;
    QPushButton* m_yesterdayButton = nullptr;
    QPushButton* m_onThisDayButton = nullptr;
    store::Date m_picked;  // the day picked last; none: today
    CCalenderCtl* m_calendar = nullptr;
    CDayWnd* m_dayList = nullptr;
    QScrollBar* m_scrollBar = nullptr;
    CScrollBtn* m_up = nullptr;
    CScrollBtn* m_down = nullptr;
    QBrush m_background;
    DockSide m_dockSide = DockSide::Left;
    enum class Drag { None, Resizing, Docking };
    Drag m_drag = Drag::None;
    int m_pressWidth = 0;
    int m_pressX = 0;
};

}  // namespace tl::calendar
