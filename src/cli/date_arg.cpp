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
    if (text.size() == 7) return last ? store::DateKey(year, month, 99) : store::DateKey(year, month, 0);
    if (text.size() != 10 || text[7] != '-' || !AllDigits(text.substr(8, 2))) return std::nullopt;
    int day = std::stoi(std::string(text.substr(8, 2)));
    if (day < 1 || day > 31) return std::nullopt;
    return store::DateKey(year, month, day);
}

}  // namespace tl::cli
