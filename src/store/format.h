#pragma once

// Wire constants of the data file, shared by every reader and writer. The
// whole format in prose is in FORMAT.md beside this file.

#include <cstddef>
#include <cstdint>

namespace tl::store {

// The file is an array of 128-byte units; unit 0 is the file header, every
// later unit belongs to exactly one record. Every unit is enciphered.
inline constexpr std::size_t kUnitSize = 128;
// Every record begins with this header (the first 24 bytes of its first
// unit); it can be deciphered alone because it is a whole number of blocks.
inline constexpr std::size_t kRecordHeaderSize = 24;
// The file never grows beyond this many bytes (31,250,000 units).
inline constexpr std::uint64_t kMaxFileBytes = 4'000'000'000ULL;

// Record header layout (little-endian):
//   0  kind            u8
//   1  reserved        u8, 0
//   2  year            i16
//   4  month           u8, 1-12; 0 in a year note
//   5  day             u8, 1-31; 0 in a month or year note
//   6  reserved        2 bytes, 0
//   8  units           u32, units of the record, header unit included
//  12  reserved        12 bytes, 0
inline constexpr std::size_t kHdrKind = 0;
inline constexpr std::size_t kHdrYear = 2;
inline constexpr std::size_t kHdrMonth = 4;
inline constexpr std::size_t kHdrDay = 5;
inline constexpr std::size_t kHdrUnits = 8;

enum RecordKind : std::uint8_t {
    kKindFree = 0,
    kKindEntryHeader = 1,
    kKindPlainText = 2,
    kKindStickyNote = 3,
    kKindAttachment = 4,
    kKindRichText = 5,
    kKindWeatherList = 6,
    kKindFileHeader = 255,
};
// Kinds 0-6 are counted; any other kind but 255 marks a damaged file.
inline constexpr int kCountedKinds = 7;

// File header, unit 0 (shaped like a one-unit record of kind 255):
//   0 .. 23  record header: kind 255, units 1, the rest 0
//  24  total units in the file   u32
//  28  password                  11 bytes, code page 932, zero-filled; all zero = none
//  39  format generation         u8, 3 (2 in files made by old-version conversion)
//  40  format revision           u8, 1
//  41  magic                     7 bytes "Mrlwbok", no terminator
//  48  flag                      u8, 1
//  49  reserved                  79 bytes, 0
// Bytes 39, 40 and 48 are written but never examined.
inline constexpr std::size_t kFhTotalUnits = 24;
inline constexpr std::size_t kFhPassword = 28;
inline constexpr std::size_t kFhPasswordSize = 11;
inline constexpr std::size_t kFhGeneration = 39;
inline constexpr std::size_t kFhRevision = 40;
inline constexpr std::size_t kFhMagic = 41;
inline constexpr std::size_t kFhFlag = 48;
inline constexpr char kMagic[7] = {'M', 'r', 'l', 'w', 'b', 'o', 'k'};
inline constexpr std::uint8_t kGeneration = 3;
inline constexpr std::uint8_t kRevision = 1;

// Little-endian field access on raw record bytes.
inline std::uint16_t GetU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t GetU64(const std::uint8_t* p) {
    return GetU32(p) | (static_cast<std::uint64_t>(GetU32(p + 4)) << 32);
}
inline void PutU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void PutU64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace tl::store
