#pragma once

// The month calendar at the top of the side bar. Paints what MonthGrid and
// CalendarDayLook say and routes the mouse; the year day table is the side
// bar's.

#include <QWidget>
#include <functional>

#include "month_grid.h"
#include "store/records.h"

namespace tl::calendar {

class YearDayTable;
class CCalenderButton;

class CCalenderCtl : public QWidget {
    Q_OBJECT

public:
    using Today = std::function<store::Date()>;
    CCalenderCtl(const YearDayTable& table, Today today, QWidget* parent = nullptr);

    int displayedMonth() const { return m_month; }
    void setDisplayedMonth(int month);
    // A click on a day opens it when this is set; pin as given.
    void setClickOpens(bool opens, bool pin) {
        m_clickOpens = opens;
        m_clickPin = pin;
    }
    void onBlinkTick(bool phaseOn);
    // The month or year selection popup, as from the header.
    void showHeaderMenu(HeaderHalf half, QPoint globalPos);
    MonthGrid grid() const;
    QSize sizeHint() const override;

signals:
    void openRequested(store::Date date, bool pin);
    void monthChanged(int month);
    // The side bar reloads the table for the year, then shows month.
    void yearMonthRequested(int year, int month);
    // "Specify year and &month" of either selection popup.
    void yearMonthDialogRequested();
    // A right click on a day (day 0: the month note, month 0: the year note).
    void contextMenuRequested(store::Date date, QPoint globalPos);
    // The user picked a day: clicked it or moved to it with the keys.
    void dayPicked(store::Date date);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void createButtons();
    void layoutButtons();
    void stepMonth(YearMonth to);
    // Moves the keyboard's day, paging the month or year when it leaves it.
    void moveKeyDay(int days);
    void showContextMenu(int day, QPoint globalPos);

    const YearDayTable& m_table;
    Today m_today;
    int m_month = 1;
    int m_hoverDay = -1;
    HeaderHalf m_headerHover = HeaderHalf::None;
    bool m_blinkPhase = false;
    bool m_menuOpen = false;
    bool m_clickOpens = true;
    bool m_clickPin = false;
    int m_keyDay = 1;  // the day the keyboard acts on
    QPoint m_pressPos;
    CCalenderButton* m_prevYear = nullptr;
    CCalenderButton* m_nextYear = nullptr;
    CCalenderButton* m_prevMonth = nullptr;
    CCalenderButton* m_nextMonth = nullptr;
};

}  // namespace tl::calendar
