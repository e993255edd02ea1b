#pragma once

// The program's one blink clock: every TITLECOL BLINK_INTERVAL milliseconds
// a round over every element that can blink, in the fixed order of
// BlinkRound. No window runs a blink timer of its own; the ticks come from
// a TickSource, so tests drive them by hand.

#include <QObject>
#include <memory>

#include "app/clock.h"
#include "blink_round.h"

namespace tl::app {
struct AppSettings;
}

namespace tl::sticky {

class CBlinkClock : public QObject {
    Q_OBJECT

public:
    // Starts at once with the settings' interval.
    CBlinkClock(const app::AppSettings& settings, std::unique_ptr<app::TickSource> ticks,
                QObject* parent = nullptr);
    ~CBlinkClock() override;

    void set(BlinkTarget target, BlinkRound::Tick tick) { m_round.set(target, std::move(tick)); }
    // Again with the settings' interval, from now (the display settings
    // changed it).
    void restart();
    void stop();
    // The period the ticks run at now; 0 while stopped.
    int intervalMs() const { return m_intervalMs; }
    // One round, as a tick of the timer runs it.
    void tick() { m_round.tick(); }
    bool phaseOn() const { return m_round.phaseOn(); }

private:
    const app::AppSettings& m_settings;
    std::unique_ptr<app::TickSource> m_ticks;
    BlinkRound m_round;
    int m_intervalMs = 0;
};

}  // namespace tl::sticky
