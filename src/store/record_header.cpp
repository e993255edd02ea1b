#include "record_header.h"

#include <cstdio>

namespace tl::store {

std::string DateKey(int year, int month, int day) {
    // The common case without snprintf: keys are compared in every walk.
    if (year >= 0 && year <= 9999 && month >= 0 && month <= 99 && day >= 0 && day <= 99) {
        std::string key(8, '0');
        for (int i = 3; i >= 0; --i, year /= 10)
            key[static_cast<std::size_t>(i)] = static_cast<char>('0' + year % 10);
        key[4] = static_cast<char>('0' + month / 10);
        key[5] = static_cast<char>('0' + month % 10);
        key[6] = static_cast<char>('0' + day / 10);
        key[7] = static_cast<char>('0' + day % 10);
        return key;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", year, month, day);
    return buf;
}

std::string RecordHeader::key() const {
    return DateKey(year(), month(), day());
}

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
