#pragma once

#include <chrono>
#include <functional>

namespace tl::app {

// The local calendar date and hour.
struct LocalTime {
    std::chrono::year_month_day date;
    int hour = 0;  // 0-23
};

// Where "now" comes from, so that tests need not wait for midnight.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    LocalTime now() const override;
    static const SystemClock& instance();
};

// Where periodic ticks come from (the blink clock's): a timer of the event
// loop in the program, a hand-driven fake in tests, so that nothing waits.
class TickSource {
public:
    virtual ~TickSource() = default;
    // From now on onTick runs every periodMs milliseconds; a later start
    // replaces the period and the call.
    virtual void start(int periodMs, std::function<void()> onTick) = 0;
    virtual void stop() = 0;
};

// The date the diary treats as today: the previous day while the hour is
// below todayRange (TODAYRANGE), so a late night still belongs to its day.
std::chrono::year_month_day GetDiaryToday(const Clock& clock, int todayRange);

}  // namespace tl::app
