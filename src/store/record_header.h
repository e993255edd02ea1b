#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "format.h"

namespace tl::store {

// A deciphered 24-byte record header (layout in format.h).
struct RecordHeader {
    std::array<std::uint8_t, kRecordHeaderSize> bytes{};

    std::uint8_t kind() const { return bytes[kHdrKind]; }
    std::int16_t year() const { return static_cast<std::int16_t>(GetU16(&bytes[kHdrYear])); }
    std::uint8_t month() const { return bytes[kHdrMonth]; }
    std::uint8_t day() const { return bytes[kHdrDay]; }
    std::uint32_t units() const { return GetU32(&bytes[kHdrUnits]); }
    bool isDate(std::int16_t y, std::uint8_t m, std::uint8_t d) const {
        return year() == y && month() == m && day() == d;
    }
    // The record's key, "%04d%02d%02d" of year, month and day.
    std::string key() const;

    void setKind(std::uint8_t k) { bytes[kHdrKind] = k; }
    void setDate(std::int16_t y, std::uint8_t m, std::uint8_t d);
    void setUnits(std::uint32_t u) { PutU32(&bytes[kHdrUnits], u); }
};

// "%04d%02d%02d": the key by which records and ranges compare as text.
std::string DateKey(int year, int month, int day);

// Fixed-size UTF-16LE text fields of records: zero-filled, with no
// terminator when the text fills the field.
// Writes at most maxUnits code units of text into field (2 x maxUnits bytes).
void PutText(std::uint8_t* field, std::size_t maxUnits, std::u16string_view text);
// The text of a field up to its first zero, at most maxUnits code units.
std::u16string GetText(const std::uint8_t* field, std::size_t maxUnits);

// A record of the chain: where it begins and its header.
struct RecordRef {
    std::uint64_t unit = 0;
    RecordHeader header;
};

}  // namespace tl::store
