#pragma once

// The checks of the date dialogs (save by changing date, open a date): the
// fields as typed, the first fault with its message and the field to put
// the focus into.

#include <optional>
#include <string_view>

#include "res/messages.h"
#include "store/records.h"

namespace tl::diary {

enum class DateField { Year, Month, Day };

struct DateCheck {
    std::optional<res::Msg> error;  // none: date is the date asked for
    DateField field = DateField::Year;
    store::Date date;
};

// Save by changing date: the fields the entry's kind has must be given.
DateCheck CheckEntryDate(std::u16string_view year, std::u16string_view month,
                         std::u16string_view day, bool hasMonth, bool hasDay);
// Open a date: an empty day opens the month note, empty month and day the
// year note; a day without a month is refused.
DateCheck CheckOpenDate(std::u16string_view year, std::u16string_view month,
                        std::u16string_view day);

// A number field as the dialogs read it: the leading digits (spaces
// skipped), 0 for non-numeric text; large numbers saturate.
int FieldNumber(std::u16string_view text);

}  // namespace tl::diary
