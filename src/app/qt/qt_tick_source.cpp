#include "qt_tick_source.h"

#include <algorithm>

namespace tl::app {

QtTickSource::QtTickSource() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_onTick) m_onTick();
    });
}

void QtTickSource::start(int periodMs, std::function<void()> onTick) {
    m_onTick = std::move(onTick);
    m_timer.start(std::max(1, periodMs));
}

}  // namespace tl::app
