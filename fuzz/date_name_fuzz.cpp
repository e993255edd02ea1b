// Feeds arbitrary names to the date-name parser of import: it must return
// for every name, and a valid date it finds must be the date its own name
// gives back. ("2024-00" and "2024-03-00" name the year and the month note,
// as the parse rules give; their own names are "2024" and "2024-03".)

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "exchange/date_names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tl::exchange;
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    tl::store::Date d;
    if (!ParseDateName(name, &d)) return 0;
    if (!IsValidDate(d.year, d.month, d.day)) return 0;
    const std::string again = tl::store::DateText(d);
    tl::store::Date back;
    if (!ParseDateName(again, &back) || !(back == d)) std::abort();
    return 0;
}
