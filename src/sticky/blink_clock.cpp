#include "blink_clock.h"

#include <algorithm>

#include "app/app_settings.h"

namespace tl::sticky {

CBlinkClock::CBlinkClock(const app::AppSettings& settings, std::unique_ptr<app::TickSource> ticks,
                         QObject* parent)
    : QObject(parent), m_settings(settings), m_ticks(std::move(ticks)) {
    restart();
}

CBlinkClock::~CBlinkClock() {
    m_ticks->stop();
}

void CBlinkClock::restart() {
    // An interval below 1 ms (refused by the display settings) would spin.
    m_intervalMs = std::max(1, m_settings.titleColor.blinkInterval);
    m_ticks->start(m_intervalMs, [this] { tick(); });
}

void CBlinkClock::stop() {
    m_ticks->stop();
    m_intervalMs = 0;
}

}  // namespace tl::sticky
