#pragma once

#include <functional>

#include "app/clock.h"

namespace tl::testing {

// A tick source driven by the test: fire() is one tick, at once.
class ManualTicks final : public app::TickSource {
public:
    void start(int periodMs, std::function<void()> onTick) override {
        m_period = periodMs;
        m_onTick = std::move(onTick);
        m_running = true;
    }
    void stop() override { m_running = false; }

    void fire() {
        if (m_running && m_onTick) m_onTick();
    }
    int period() const { return m_period; }
    bool running() const { return m_running; }

private:
    std::function<void()> m_onTick;
    int m_period = 0;
    bool m_running = false;
};

}  // namespace tl::testing
