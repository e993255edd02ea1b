#pragma once

// The side bar: the today and yesterday buttons, the month calendar and the
// day list with its scroll bar and month buttons. Owns the year day table
// that the calendar and the list draw from, and keeps it patched as entries
// change.

#include <QWidget>
#include <functional>
#include <memory>

#include "store/records.h"

class QPushButton;
class QScrollBar;
class QToolButton;

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
class YearDayTable;

class CDayBar : public QWidget {
    Q_OBJECT

public:
    using Today = std::function<store::Date()>;
    CDayBar(store::CDiaryDataFile& file, app::AppSettings& settings, res::UserInterface& ui, Today today,
            QWidget* parent = nullptr);
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
    void onBlinkTick(bool phaseOn);
    // Patches the table after the date's entry or attachments changed.
    void onEntryChanged(store::Date date);

    const YearDayTable& table() const { return *m_table; }
    CCalenderCtl* calendar() const { return m_calendar; }
    CDayWnd* dayList() const { return m_dayList; }
    QSize sizeHint() const override;

signals:
    void openRequested(store::Date date, bool pin);
    void deleteRequested(store::Date date);

protected:
    void resizeEvent(QResizeEvent* event) override;

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
    std::unique_ptr<YearDayTable> m_table;
    QPushButton* m_todayButton = nullptr;
    QPushButton* m_yesterdayButton = nullptr;
    CCalenderCtl* m_calendar = nullptr;
    CDayWnd* m_dayList = nullptr;
    QScrollBar* m_scrollBar = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};

}  // namespace tl::calendar
