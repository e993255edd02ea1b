#include "date_arg.h"

#include <cctype>

#include "store/record_header.h"

namespace tl::cli {

namespace {

bool AllDigits(std::string_view s) {
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return !s.empty();
}

}  // namespace

std::optional<std::string> RangeKey(std::string_view text, RangeEnd end) {
    if (text.size() == 8 && AllDigits(text)) return std::string(text);
    const bool last = end == RangeEnd::Last;
    if (text.size() < 4 || !AllDigits(text.substr(0, 4))) return std::nullopt;
    int year = std::stoi(std::string(text.substr(0, 4)));
    if (text.size() == 4) return last ? store::DateKey(year, 99, 99) : store::DateKey(year, 0, 0);
    if (text.size() < 7 || text[4] != '-' || !AllDigits(text.substr(5, 2))) return std::nullopt;
    int month = std::stoi(std::string(text.substr(5, 2)));
    if (month < 1 || month > 12) return std::nullopt;
    if (text.size() == 7)
        return last ? store::DateKey(year, month, 99) : store::DateKey(year, month, 0);
    if (text.size() != 10 || text[7] != '-' || !AllDigits(text.substr(8, 2))) return std::nullopt;
    int day = std::stoi(std::string(text.substr(8, 2)));
    if (day < 1 || day > 31) return std::nullopt;
    return store::DateKey(year, month, day);
}

std::optional<store::Date> ParseDate(std::string_view text) {
    if (text.size() != 4 && text.size() != 7 && text.size() != 10) return std::nullopt;
    // The range key parser already checks the shape and the month.
    std::optional<std::string> key = RangeKey(text, RangeEnd::First);
    if (!key || !AllDigits(*key)) return std::nullopt;
    int year = std::stoi(key->substr(0, 4));
    int month = std::stoi(key->substr(4, 2));
    int day = std::stoi(key->substr(6, 2));
    if (year < 1900) return std::nullopt;
    if (day > 0 && day > store::DaysInMonth(year, month)) return std::nullopt;
    return store::Date{static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month),
                       static_cast<std::uint8_t>(day)};
}

}  // namespace tl::cli
