#pragma once

// Byte offsets of the typed records, from a record's first byte; shared by
// the store and every other writer or reader of records (exchange,
// maintenance). Integers little-endian, texts UTF-16LE in zero-filled
// fields. The layouts in prose: FORMAT.md.

#include <cstddef>
#include <cstdint>

#include "format.h"

namespace tl::store {

// Entry header (kind 1), 2 units; an older form has 1 unit.
//   24  title of a one-unit header, 20 code units
//   65  weather, 10 code units (an odd offset)
//   88  title colour; 92 background on; 96 background colour; 100 blink
//  128  title, 64 code units
inline constexpr std::size_t kEhOneUnitTitle = 24;
inline constexpr std::size_t kEhOneUnitTitleMax = 20;
inline constexpr std::size_t kEhWeather = 65;
inline constexpr std::size_t kEhTextColor = 88;
inline constexpr std::size_t kEhBackOn = 92;
inline constexpr std::size_t kEhBackColor = 96;
inline constexpr std::size_t kEhBlink = 100;
inline constexpr std::size_t kEhTitle = 128;
inline constexpr std::uint32_t kEhUnits = 2;

// Plain text (kind 2): the UTF-16 text with its terminating zero, deflated.
//   24 original size u32; 28 compressed flag u32 (1); 32 stored size u32;
//   44 zlib stream. Units: UnitsForPayload(stored size).
inline constexpr std::size_t kPtOriginal = 24;
inline constexpr std::size_t kPtFlag = 28;
inline constexpr std::size_t kPtStored = 32;
inline constexpr std::size_t kPtPayload = 44;

// Rich text (kind 5): RTF bytes, deflated; units = stored / 128 + 2.
//   24 original size u32; 28 compressed flag u8; 32 stored size u64;
//  128 zlib stream
inline constexpr std::size_t kRtOriginal = 24;
inline constexpr std::size_t kRtFlag = 28;
inline constexpr std::size_t kRtStored = 32;
inline constexpr std::size_t kRtPayload = 128;

// Attachment (kind 4): units = (stored bytes - 1) / 128 + 6.
//   24 order u32; 32 original size u64; 40/48/56 creation, write, access
//   times i64; 64 attributes u8; 72 compressed flag u8; 80 stored size u64
//   (0 when not compressed); 128 name, 256 code units; 640 the bytes.
inline constexpr std::size_t kAttOrder = 24;
inline constexpr std::size_t kAttOriginalSize = 32;
inline constexpr std::size_t kAttCreation = 40;
inline constexpr std::size_t kAttWrite = 48;
inline constexpr std::size_t kAttAccess = 56;
inline constexpr std::size_t kAttAttributes = 64;
inline constexpr std::size_t kAttCompressed = 72;
inline constexpr std::size_t kAttStoredSize = 80;
inline constexpr std::size_t kAttName = 128;
inline constexpr std::uint32_t kAttHeadUnits = 5;
inline constexpr std::size_t kAttData = kAttHeadUnits * kUnitSize;

// Sticky note (kind 3), 3 units: 64 face (16 code units); 96 font width;
// 100 font height; 104 weight; 108 italic u8; 112 text colour; 116 back
// colour; 120 top; 124 side u8; 125 transparency u8; 128 blink u8;
// 129 start set u8; 130 start year u16, 132 month, 133 day; 134 end set u8;
// 136 end year u16, 138 month, 139 day; 256 text (64 code units).
inline constexpr std::uint32_t kStickyUnits = 3;
inline constexpr std::size_t kStickyBytes = kStickyUnits * kUnitSize;
inline constexpr std::size_t kStFace = 64;
inline constexpr std::size_t kStFontWidth = 96;
inline constexpr std::size_t kStFontHeight = 100;
inline constexpr std::size_t kStFontWeight = 104;
inline constexpr std::size_t kStItalic = 108;
inline constexpr std::size_t kStTextColor = 112;
inline constexpr std::size_t kStBackColor = 116;
inline constexpr std::size_t kStTop = 120;
inline constexpr std::size_t kStSide = 124;
inline constexpr std::size_t kStTransparency = 125;
inline constexpr std::size_t kStBlink = 128;
inline constexpr std::size_t kStStartSet = 129;
inline constexpr std::size_t kStStart = 130;
inline constexpr std::size_t kStEndSet = 134;
inline constexpr std::size_t kStEnd = 136;
inline constexpr std::size_t kStText = 256;

// Weather list (kind 6), 5 units: choice i at 128 + 20 x i (10 code units).
inline constexpr std::size_t kWlFirst = 128;
inline constexpr std::size_t kWlStride = 20;
inline constexpr std::uint32_t kWlUnits = 5;

}  // namespace tl::store
