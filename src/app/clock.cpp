#include "clock.h"

#include <ctime>

namespace tl::app {

LocalTime SystemClock::now() const {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {std::chrono::year_month_day{std::chrono::year{tm.tm_year + 1900},
                                        std::chrono::month{static_cast<unsigned>(tm.tm_mon + 1)},
                                        std::chrono::day{static_cast<unsigned>(tm.tm_mday)}},
            tm.tm_hour};
}

const SystemClock& SystemClock::instance() {
    static const SystemClock clock;
    return clock;
}

std::chrono::year_month_day GetDiaryToday(const Clock& clock, int todayRange) {
    const LocalTime now = clock.now();
    if (now.hour >= todayRange) return now.date;
    return std::chrono::year_month_day{std::chrono::sys_days{now.date} - std::chrono::days{1}};
}

}  // namespace tl::app
