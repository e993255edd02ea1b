#pragma once

// Colours of the settings and records are 0x00BBGGRR: red in the low byte.

#include <cstdint>

namespace tl::widgets {

constexpr std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(b) << 16;
}

// Every channel inverted, as a blinking element shows its colours.
constexpr std::uint32_t InvertedColor(std::uint32_t color) {
    return ~color & 0xFFFFFFu;
}

}  // namespace tl::widgets
