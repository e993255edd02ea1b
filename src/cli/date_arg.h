#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tl::cli {

enum class RangeEnd { First, Last };

// A range bound from the command line as a record key: YYYYMMDD as it
// stands; YYYY-MM-DD; YYYY-MM and YYYY as the first bound are the month's or
// year's own note (day or month 0), as the last bound they run to the end of
// that month or year.
std::optional<std::string> RangeKey(std::string_view text, RangeEnd end);

}  // namespace tl::cli
