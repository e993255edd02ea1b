#pragma once

// The main window's tab click window: for 500 ms after a click on a tab, a
// second button down on the same tab (the second half of a double click)
// toggles that tab's pin instead of starting another click. One window for
// every tab strip, as there is one pointer.

#include <QObject>

#include "store/records.h"

class QTimer;

namespace tl::diary {

class TabClickWindow : public QObject {
    Q_OBJECT

public:
    static constexpr int kMilliseconds = 500;

    // What a button down on a tab does.
    enum class Press {
        Click,      // bring the tab's entry forward and start a drag
        TogglePin,  // the second click on the remembered tab: toggle its pin, nothing else
    };

    explicit TabClickWindow(QObject* parent = nullptr);

    // A button down on the tab of the date. A closed window opens for
    // 500 ms remembering the date; an open one with another date keeps the
    // date it remembers.
    Press press(store::Date date);
    bool isOpen() const { return m_open; }
    // The 500 ms are over (the timer calls it; tests too).
    void expire();

private:
    QTimer* m_timer;
    bool m_open = false;
    store::Date m_date;
};

}  // namespace tl::diary
