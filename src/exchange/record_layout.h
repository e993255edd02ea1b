#pragma once

// Byte offsets of the typed records that exchange and maintenance build or
// take apart themselves (bulk writes compress on worker threads and cannot
// go through the one-record save calls). Offsets from the record's first
// byte; integers little-endian, texts UTF-16LE. The layouts in prose are in
// store/FORMAT.md.

#include <cstddef>
#include <cstdint>

namespace tl::exchange::layout {

// Entry header (kind 1), 2 units; an older form has 1 unit.
//   24  title of a one-unit header, 20 code units
//   65  weather, 10 code units
//   88  title colours and blink (16 bytes), zero from import
//  128  title, 64 code units
inline constexpr std::size_t kEhOneUnitTitle = 24;
inline constexpr std::size_t kEhOneUnitTitleMax = 20;
inline constexpr std::size_t kEhWeather = 65;
inline constexpr std::size_t kEhTitle = 128;
inline constexpr std::uint32_t kEhUnits = 2;

// Plain text (kind 2): the UTF-16 text with its terminating zero, deflated.
//   24  original size u32;  28  compressed flag u32 (1);  32  stored size u32
//   44  zlib stream
inline constexpr std::size_t kPtOriginal = 24;
inline constexpr std::size_t kPtFlag = 28;
inline constexpr std::size_t kPtStored = 32;
inline constexpr std::size_t kPtPayload = 44;

// Rich text (kind 5): RTF bytes, deflated; units = stored / 128 + 2.
//   24  original size u32;  28  compressed flag u8;  32  stored size u64
//  128  zlib stream
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
inline constexpr std::size_t kAttData = 640;

// Sticky note (kind 3): 3 units.
inline constexpr std::uint32_t kStickyUnits = 3;

}  // namespace tl::exchange::layout
