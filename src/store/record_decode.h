#pragma once

// Decoding of entry records already read and deciphered: shared by the
// readers of one record and the search's reading of many (which decodes on
// several threads, so nothing here talks to the user).

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tl::store {

// No entry text comes near this; a record claiming more is damaged and must
// not make us allocate it.
inline constexpr std::uint64_t kTextLimit = 64ULL << 20;

// The title of an entry header from its first unit (a one-unit header) or
// its first two units.
std::u16string HeaderTitle(std::span<const std::uint8_t> bytes, std::uint32_t units);
// The text of a plain text record from all its bytes; nullopt when its
// sizes or its zlib stream are damaged.
std::optional<std::u16string> DecodePlainText(std::span<const std::uint8_t> record);

}  // namespace tl::store
