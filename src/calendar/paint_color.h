#pragma once

#include <QColor>
#include <cstdint>

namespace tl::calendar {

// A stored 0x00BBGGRR colour for painting.
inline QColor ToQColor(std::uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace tl::calendar
