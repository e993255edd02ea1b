#pragma once

namespace tl::widgets {

// A pixel rectangle as the windows' Qt-free geometry and the settings keep
// it: right and bottom are exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace tl::widgets
