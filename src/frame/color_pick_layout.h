#pragma once

// The edit bar's colour choice popup as plain geometry: seventeen items
// ("Auto", fifteen swatches in three rows of five, "Other..."), where each
// lies at a given resolution, which one a point hits, and where the arrow
// keys lead.

#include <array>
#include <cstdint>

#include "widgets/rect.h"

namespace tl::frame {

inline constexpr int kColorItems = 17;
inline constexpr int kAutoItem = 0;
inline constexpr int kOtherItem = 16;

// The colours (0x00BBGGRR) of items 1 to 15, row by row.
const std::array<std::uint32_t, 15>& SwatchColors();
// The colour of a swatch item (1 to 15).
std::uint32_t SwatchColor(int item);
bool IsSwatch(int item);

class ColorPickLayout {
public:
    explicit ColorPickLayout(int dpi);

    widgets::Rect itemRect(int item) const;
    // The popup's size and its two separator lines (y, from x to x + length).
    int width() const;
    int height() const;
    struct Line {
        int x, y, length;
    };
    std::array<Line, 2> separators() const;
    // The item at the point, or -1.
    int hitTest(int x, int y) const;

private:
    int m_dpi;
};

// Keyboard moves between items; from no item (-1) every key goes to "Auto".
enum class PickMove { Left, Right, Up, Down };
int MovePick(int item, PickMove move);

}  // namespace tl::frame
