#pragma once

// Dates as names of exchanged files and folders: "2024-03-05" for a day,
// "2024-03" for a month note, "2024" for a year note.

#include <optional>
#include <string>
#include <string_view>

#include "store/records.h"

namespace tl::exchange {

using store::DaysInMonth;

// 1 when (y, m, d) names a day, a month note (d 0) or a year note (m and
// d 0) of year 1900 or later; else 0.
[[nodiscard]] int IsValidDate(int year, int month, int day);

// The date a name stands for: "YYYY", "YYYY-MM" or "YYYY-MM?DD" (the
// character between month and day is not examined). 1 with the date in
// *date, or 0. The date is not checked for validity.
[[nodiscard]] int ParseDateName(std::string_view name, store::Date* date);

// The date as a number that orders like its key: year x 10000 + month x 100
// + day.
inline int DateNumber(store::Date d) {
    return d.year * 10000 + d.month * 100 + d.day;
}

}  // namespace tl::exchange
