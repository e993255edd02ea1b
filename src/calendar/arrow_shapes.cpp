#include "arrow_shapes.h"

#include "widgets/scale.h"

namespace tl::calendar {

namespace {

using widgets::ScaleAt;

struct CalendarArrowSize {
    int l, a, t, h, m;
    explicit CalendarArrowSize(int dpi)
        : l(ScaleAt(6, dpi)),
          a(ScaleAt(4, dpi)),
          t(ScaleAt(3, dpi)),
          h(ScaleAt(8, dpi)),
          m(t + h / 2) {}
};

}  // namespace

Triangle CalendarArrow(ArrowDirection direction, int dpi) {
    const CalendarArrowSize s(dpi);
    if (direction == ArrowDirection::Left)
        return {{{s.l + s.a, s.t}, {s.l + s.a, s.t + s.h}, {s.l, s.m}}};
    return {{{s.l, s.t}, {s.l, s.t + s.h}, {s.l + s.a, s.m}}};
}

Triangle CalendarArrowHover(ArrowDirection direction, bool pushed, int dpi) {
    const CalendarArrowSize s(dpi);
    const int d = pushed ? 3 : 2;
    const int e = pushed ? 2 : 1;
    if (direction == ArrowDirection::Left)
        return {{{s.l + s.a - 1, s.t + d}, {s.l + s.a - 1, s.t + s.h - d}, {s.l + e, s.m}}};
    return {{{s.l + 1, s.t + d}, {s.l + 1, s.t + s.h - d}, {s.l + s.a - e, s.m}}};
}

std::array<Triangle, 2> MonthPageArrows(ArrowDirection direction, bool pushed, int dpi) {
    const int left = ScaleAt(4, dpi) + (pushed ? 1 : 0);
    const int width = ScaleAt(4, dpi);
    const int height = ScaleAt(2, dpi);
    const int shift = pushed ? 1 : 0;
    const auto one = [&](int top) -> Triangle {
        const int tipX = left + width / 2;
        if (direction == ArrowDirection::Up)
            return {{{left, top + height}, {left + width, top + height}, {tipX, top}}};
        return {{{left, top}, {left + width, top}, {tipX, top + height}}};
    };
    return {one(ScaleAt(4, dpi) + shift), one(ScaleAt(7, dpi) + shift)};
}

}  // namespace tl::calendar
