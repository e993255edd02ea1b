#include "date_names.h"

namespace tl::exchange {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool Digits(std::string_view s, std::size_t at, std::size_t n, int* value) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (!IsDigit(s[i])) return false;
        v = v * 10 + (s[i] - '0');
    }
    *value = v;
    return true;
}

}  // namespace

int IsValidDate(int year, int month, int day) {
    if (year < 1900 || month < 0 || month > 12) return 0;
    if (day == 0) return 1;
    if (month == 0) return 0;
    return day >= 1 && day <= DaysInMonth(year, month) ? 1 : 0;
}

int ParseDateName(std::string_view name, store::Date* date) {
    int year = 0, month = 0, day = 0;
    if (name.size() < 4 || !Digits(name, 0, 4, &year)) return 0;
    if (name.size() != 4) {
        if (name.size() != 7 && name.size() != 10) return 0;
        if (name[4] != '-' || !Digits(name, 5, 2, &month)) return 0;
        if (name.size() == 10 && !Digits(name, 8, 2, &day)) return 0;
    }
    *date = {static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month),
             static_cast<std::uint8_t>(day)};
    return 1;
}

}  // namespace tl::exchange
