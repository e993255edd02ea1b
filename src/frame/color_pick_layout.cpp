#include "color_pick_layout.h"

#include "widgets/color.h"
#include "widgets/scale.h"

namespace tl::frame {

using widgets::Rgb;
using widgets::ScaleAt;

namespace {

constexpr int kColumns = 5;
constexpr int kRows = 3;
// Rows of swatches at 96 dots per inch.
constexpr std::array<int, kRows> kRowTops = {32, 58, 84};

int Column(int item) {
    return (item - 1) % kColumns;
}
int Row(int item) {
    return (item - 1) / kColumns;
}

}  // namespace

const std::array<std::uint32_t, 15>& SwatchColors() {
    static const std::array<std::uint32_t, 15> colors = {
        Rgb(255, 0, 0),     Rgb(255, 128, 0),   Rgb(255, 255, 0),   Rgb(128, 255, 0),
        Rgb(0, 255, 0),     Rgb(0, 255, 255),   Rgb(0, 0, 255),     Rgb(128, 128, 255),
        Rgb(255, 128, 255), Rgb(255, 0, 128),   Rgb(0, 0, 0),       Rgb(64, 64, 64),
        Rgb(128, 128, 128), Rgb(192, 192, 192), Rgb(255, 255, 255),
    };
    return colors;
}

bool IsSwatch(int item) {
    return item >= 1 && item <= kColumns * kRows;
}

std::uint32_t SwatchColor(int item) {
    return IsSwatch(item) ? SwatchColors()[static_cast<std::size_t>(item - 1)] : 0;
}

ColorPickLayout::ColorPickLayout(int dpi) : m_dpi(dpi) {}

widgets::Rect ColorPickLayout::itemRect(int item) const {
    auto s = [this](int n) { return ScaleAt(n, m_dpi); };
    auto wide = [&](int top) { return widgets::Rect{s(7), s(top), s(7) + s(101), s(top) + s(20)}; };
    if (item == kAutoItem) return wide(4);
    if (item == kOtherItem) return wide(112);
    if (!IsSwatch(item)) return {};
    const int column = Column(item);
    const int left = column == 0 ? s(7) : s(7) + s(20 * column);
    const int top = s(kRowTops[static_cast<std::size_t>(Row(item))]);
    return {left, top, left + s(20), top + s(20)};
}

int ColorPickLayout::width() const {
    return ScaleAt(115, m_dpi);
}

int ColorPickLayout::height() const {
    return ScaleAt(136, m_dpi);
}

std::array<ColorPickLayout::Line, 2> ColorPickLayout::separators() const {
    auto s = [this](int n) { return ScaleAt(n, m_dpi); };
    return {Line{s(7), s(27), s(100)}, Line{s(7), s(108), s(100)}};
}

int ColorPickLayout::hitTest(int x, int y) const {
    for (int item = 0; item < kColorItems; ++item)
        if (itemRect(item).contains(x, y)) return item;
    return -1;
}

int MovePick(int item, PickMove move) {
    if (item < 0 || item >= kColorItems) return kAutoItem;
    const bool swatch = IsSwatch(item);
    switch (move) {
        case PickMove::Left:
            return swatch && Column(item) > 0 ? item - 1 : item;
        case PickMove::Right:
            return swatch && Column(item) < kColumns - 1 ? item + 1 : item;
        case PickMove::Up:
            if (item == kOtherItem) return 1 + (kRows - 1) * kColumns;
            if (swatch) return Row(item) > 0 ? item - kColumns : kAutoItem;
            return item;
        case PickMove::Down:
            if (item == kAutoItem) return 1;
            if (swatch) return Row(item) < kRows - 1 ? item + kColumns : kOtherItem;
            return item;
    }
    return item;
}

}  // namespace tl::frame
