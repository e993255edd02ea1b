#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/records.h"

namespace tl::cli {

enum class RangeEnd { First, Last };

// A range bound from the command line as a record key: YYYYMMDD as it
// stands; YYYY-MM-DD; YYYY-MM and YYYY as the first bound are the month's or
// year's own note (day or month 0), as the last bound they run to the end of
// that month or year.
std::optional<std::string> RangeKey(std::string_view text, RangeEnd end);

// A date of the diary: YYYY-MM-DD (a day), YYYY-MM (a month note) or YYYY
// (a year note), years 1900-9999; nullopt for anything else, such as a day
// the month does not have.
std::optional<store::Date> ParseDate(std::string_view text);
// The command line's form of a date, the inverse of ParseDate, is
// store::DateText.

}  // namespace tl::cli
