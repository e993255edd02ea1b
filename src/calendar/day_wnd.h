#pragma once

// The day list of the side bar: one row per row of the year day table,
// painted from DayListLayout and the table.

#include <QPixmap>
#include <QWidget>
#include <functional>

#include "day_list_layout.h"
#include "store/records.h"

namespace tl::calendar {

class YearDayTable;

class CDayWnd : public QWidget {
    Q_OBJECT

public:
    using Today = std::function<store::Date()>;
    CDayWnd(const YearDayTable& table, Today today, QWidget* parent = nullptr);

    DayListLayout& layout() { return m_layout; }
    const DayListLayout& layout() const { return m_layout; }
    // After the table changed or the window was resized.
    void rebuildList();
    void scrollTo(int row);
    void setClickOpens(bool opens, bool pin) {
        m_clickOpens = opens;
        m_clickPin = pin;
    }
    void onBlinkTick(bool phaseOn);
    // A wheel turned anywhere over the side bar.
    void wheel(int delta);
    int selectedRow() const { return m_selectedRow; }
    void clearSelection() { m_selectedRow = -1; }
    // While a menu of the list is shown the hovered row stays marked.
    void setMenuOpen(bool open) { m_menuOpen = open; }

signals:
    void openRequested(store::Date date, bool pin);
    void monthSelected(int month);
    // A click in the month strip: the month selection popup is wanted there.
    void stripClicked(QPoint globalPos);
    // A right click on a row (in the strip: its month note).
    void contextMenuRequested(store::Date date, QPoint globalPos);
    // The top row changed: the scroll bar follows.
    void scrolled(int topRow, int lastTopRow);
    // The list took the keyboard focus.
    void focused();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void changed();
    void select(int row);
    store::Date dateOf(int row) const;

    const YearDayTable& m_table;
    Today m_today;
    DayListLayout m_layout;
    int m_hoverRow = -1;
    int m_selectedRow = -1;
    bool m_menuOpen = false;
    bool m_pressed = false;
    int m_pressY = 0;
    int m_pressTop = 0;
    bool m_blinkPhase = false;
    bool m_clickOpens = true;
    bool m_clickPin = false;
    QPixmap m_pictureIcon;
    QPixmap m_fileIcon;
};

}  // namespace tl::calendar
