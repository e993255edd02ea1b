#include "records.h"

#include <cstdio>

namespace tl::store {

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

int Weekday(int year, int month, int day) {
    // Sakamoto's method: month offsets of a year starting in March.
    static constexpr int kOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) --year;
    return (year + year / 4 - year / 100 + year / 400 + kOffsets[month - 1] + day) % 7;
}

std::string DateText(Date date) {
    char buf[16];
    if (date.month == 0)
        std::snprintf(buf, sizeof buf, "%04d", date.year);
    else if (date.day == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d", date.year, date.month);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buf;
}

}  // namespace tl::store
