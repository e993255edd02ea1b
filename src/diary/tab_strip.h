#pragma once

// The tab strip at the top of every entry window: one tab per open entry,
// drawn from the shared tab table with the platform's tab look, two scroll
// buttons and a close button at its right end.

#include <QWidget>
#include <cstdint>

#include "store/records.h"

class QToolButton;

namespace tl::diary {

class TabClickWindow;
class TabTable;

// The strip's height at 96 dots per inch and its colour (0x00BBGGRR). The
// main window's client area paints the same strip behind the entry windows.
inline constexpr int kTabStripHeight = 23;
inline constexpr std::uint32_t kTabStripColor = 0xFFF0F0;

class CTabStrip : public QWidget {
    Q_OBJECT

public:
    CTabStrip(TabTable& table, QWidget* parent = nullptr);

    // The x where the tabs end: 50 scaled pixels before the right edge.
    int tabsRight() const;
    // The window shared by every strip in which a second click toggles the
    // pin; without one every click is a first click.
    void setClickWindow(TabClickWindow* window) { m_clickWindow = window; }
    QSize sizeHint() const override;

signals:
    void tabActivated(store::Date date);  // bring the entry forward
    void pinToggled(store::Date date);
    void menuRequested(store::Date date, QPoint globalPos);
    void closeClicked();
    void tableChanged();  // rows moved or scrolled: every strip repaints

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutButtons();
    void press(QMouseEvent* event);

    TabTable& m_table;
    TabClickWindow* m_clickWindow = nullptr;
    QToolButton* m_close;
    QToolButton* m_right;
    QToolButton* m_left;
    int m_pressedRow = -1;
    int m_currentBeforePress = -1;
    bool m_moved = false;
};

}  // namespace tl::diary
