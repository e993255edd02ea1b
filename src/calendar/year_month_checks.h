#pragma once

// The checks of the dialog that picks the displayed year and month: the
// fields as typed, the first fault with its message and the field to put the
// focus into. Kept free of widgets so they can be tested alone.

#include <optional>
#include <string>
#include <string_view>

#include "res/messages.h"

namespace tl::calendar {

enum class YearMonthField { Year, Month };

struct YearMonthCheck {
    std::optional<res::Msg> error;  // none: year and month are the choice
    YearMonthField field = YearMonthField::Year;
    int year = 0;
    int month = 0;
};

// Year first, then month; a year text reads up to its first non-digit.
YearMonthCheck checkYearMonth(std::u16string_view year, std::u16string_view month);

// The text an edit starts with: the number without leading zeros, or empty
// for 0 (no month).
std::u16string yearMonthFieldText(int value);

}  // namespace tl::calendar
