#include "entry_name.h"

#include <array>
#include <cstdio>

namespace tl::diary {
namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

std::u16string Widen(const char* text) {
    std::u16string out;
    for (const char* p = text; *p; ++p) out.push_back(static_cast<char16_t>(*p));
    return out;
}

// The decimal number at the start of the part, as atoi reads it; -1 when
// it starts with no digit.
int LeadingNumber(std::u16string_view name, std::size_t from, std::size_t length) {
    if (from >= name.size()) return -1;
    std::u16string_view part = name.substr(from, length);
    int value = -1;
    for (char16_t c : part) {
        if (c < u'0' || c > u'9') break;
        value = (value < 0 ? 0 : value * 10) + (c - u'0');
    }
    return value;
}

}  // namespace

bool IsValidEntryDate(store::Date date) {
    if (date.year < kFirstYear || date.year > kLastYear) return false;
    if (date.month > 12) return false;
    if (date.day == 0) return true;
    return date.month != 0 && date.day <= DaysInMonth(date.year, date.month);
}

bool IsNote(store::Date date) {
    return date.day == 0;
}

std::u16string EntryName(store::Date date) {
    char buf[32];
    if (date.month == 0) {
        std::snprintf(buf, sizeof buf, "%04d", date.year);
    } else if (date.day == 0) {
        std::snprintf(buf, sizeof buf, "%02d-%04d", date.month, date.year);
    } else {
        std::snprintf(buf, sizeof buf, "%02d-%02d-%04d(%s)", date.month, date.day, date.year,
                      kWeekdays[Weekday(date.year, date.month, date.day)]);
    }
    return Widen(buf);
}

std::optional<store::Date> ParseEntryName(std::u16string_view name) {
    int year = 0, month = 0, day = 0;
    std::size_t dash = name.find(u'-');
    if (dash == std::u16string_view::npos) {
        year = LeadingNumber(name, 0, 4);
    } else if (name.size() > 5 && name.find(u'-', 5) != std::u16string_view::npos) {
        month = LeadingNumber(name, 0, 2);
        day = LeadingNumber(name, 3, 2);
        year = LeadingNumber(name, 6, 4);
    } else {
        month = LeadingNumber(name, 0, 2);
        year = LeadingNumber(name, 3, 4);
    }
    if (year < 0 || month < 0 || day < 0 || month > 12 || day > 31) return std::nullopt;
    store::Date date{static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month),
                     static_cast<std::uint8_t>(day)};
    if (!IsValidEntryDate(date)) return std::nullopt;
    return date;
}

std::u16string TabName(std::u16string_view entryName, bool withWeekday) {
    if (withWeekday) return std::u16string(entryName);
    return std::u16string(entryName.substr(0, entryName.find(u'(')));
}

std::u16string RetitledTab(std::u16string_view name, store::Date date, bool withWeekday) {
    constexpr std::size_t kDateLength = 10;  // "MM-DD-YYYY"
    if (!withWeekday) return TabName(name, false);
    const std::u16string full = EntryName(date);
    if (name.size() != kDateLength || full.size() <= kDateLength) return std::u16string(name);
    return std::u16string(name) + full.substr(kDateLength);
}

std::string DateKeyOf(store::Date date) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", date.year, date.month, date.day);
    return buf;
}

}  // namespace tl::diary
