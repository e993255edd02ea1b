#pragma once

// The names of months and weekdays as the windows show them, January and
// Sunday first.

namespace tl::widgets {

inline constexpr const char* kMonthNames[12] = {"January",   "February", "March",    "April",
                                                "May",       "June",     "July",     "August",
                                                "September", "October",  "November", "December"};
inline constexpr const char* kMonthAbbreviations[12] = {
    "Jan.", "Feb.", "Mar.", "Apr.", "May", "Jun.", "Jul.", "Aug.", "Sep.", "Oct.", "Nov.", "Dec."};
inline constexpr const char* kWeekdayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                 "Thursday", "Friday", "Saturday"};
inline constexpr const char* kWeekdayAbbreviations[7] = {"Sun", "Mon", "Tue", "Wed",
                                                         "Thu", "Fri", "Sat"};

}  // namespace tl::widgets
