#pragma once

// Stored 0x00BBGGRR colours to and from Qt's, for painting and the colour
// dialog.

#include <QColor>
#include <cstdint>

#include "widgets/color.h"

namespace tl::widgets {

inline QColor ToQColor(std::uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
inline std::uint32_t FromQColor(const QColor& c) {
    return Rgb(c.red(), c.green(), c.blue());
}

}  // namespace tl::widgets
