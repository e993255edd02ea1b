#include "record_header.h"

#include <cstdio>

namespace tl::store {

std::string DateKey(int year, int month, int day) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", year, month, day);
    return buf;
}

std::string RecordHeader::key() const { return DateKey(year(), month(), day()); }

void RecordHeader::setDate(std::int16_t y, std::uint8_t m, std::uint8_t d) {
    PutU16(&bytes[kHdrYear], static_cast<std::uint16_t>(y));
    bytes[kHdrMonth] = m;
    bytes[kHdrDay] = d;
}

void PutText(std::uint8_t* field, std::size_t maxUnits, std::u16string_view text) {
    for (std::size_t i = 0; i < maxUnits; ++i) PutU16(field + 2 * i, i < text.size() ? text[i] : 0);
}

std::u16string GetText(const std::uint8_t* field, std::size_t maxUnits) {
    std::u16string out;
    for (std::size_t i = 0; i < maxUnits; ++i) {
        char16_t c = GetU16(field + 2 * i);
        if (c == 0) break;
        out += c;
    }
    return out;
}

}  // namespace tl::store
