#pragma once

// Colours of the settings and records are 0x00BBGGRR.

#include <QColor>
#include <cstdint>

namespace tl::diary {

inline QColor ToQColor(std::uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
inline std::uint32_t FromQColor(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

}  // namespace tl::diary
