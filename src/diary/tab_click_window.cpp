#include "tab_click_window.h"

#include <QTimer>

namespace tl::diary {

TabClickWindow::TabClickWindow(QObject* parent) : QObject(parent), m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    m_timer->setInterval(kMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &TabClickWindow::expire);
}

TabClickWindow::Press TabClickWindow::press(store::Date date) {
    if (!m_open) {
        m_open = true;
        m_date = date;
        m_timer->start();
        return Press::Click;
    }
    if (date != m_date) return Press::Click;
    m_timer->stop();
    m_open = false;
    return Press::TogglePin;
}

void TabClickWindow::expire() {
    m_timer->stop();
    m_open = false;
}

}  // namespace tl::diary
