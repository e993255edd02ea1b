#pragma once

// Entry names and the dates they stand for. An entry name names an open
// entry and its window: "12-08-2026(Tue)" for a day, "12-2026" for a month
// note, "2026" for a year note.

#include <optional>
#include <string>
#include <string_view>

#include "store/records.h"

namespace tl::diary {

inline constexpr int kFirstYear = 1900;
inline constexpr int kLastYear = 9999;

using store::DaysInMonth;
using store::Weekday;
// A date of its kind: year 1900-9999; month 0-12; day 0 or within the
// month; a day needs a month.
bool IsValidEntryDate(store::Date date);
bool IsNote(store::Date date);

std::u16string EntryName(store::Date date);
// Reads only the leading characters, as the names are built; nullopt when
// the result is not a valid date.
std::optional<store::Date> ParseEntryName(std::u16string_view name);
// The name a tab shows: without the day of the week unless asked for.
std::u16string TabName(std::u16string_view entryName, bool withWeekday);
// A tab's name after the day-of-week setting changed: with it on, a day's
// date of exactly 10 characters gets its day of the week; with it off,
// everything from the first "(" goes. Notes keep their names.
std::u16string RetitledTab(std::u16string_view name, store::Date date, bool withWeekday);

// The eight-character key "%04d%02d%02d" by which dates order.
std::string DateKeyOf(store::Date date);

}  // namespace tl::diary
