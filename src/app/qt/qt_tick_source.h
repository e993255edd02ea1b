#pragma once

#include <QTimer>

#include "app/clock.h"

namespace tl::app {

// Ticks from a timer of the event loop: they never overlap each other or a
// command.
class QtTickSource final : public TickSource {
public:
    QtTickSource();
    void start(int periodMs, std::function<void()> onTick) override;
    void stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
    std::function<void()> m_onTick;
};

}  // namespace tl::app
