#include "window_state.h"

#include <algorithm>

namespace tl::frame {

using widgets::Rect;

std::optional<ShowState> ParseShowState(std::string_view text) {
    if (text == "NORMAL") return ShowState::Normal;
    if (text == "MINIMIZE") return ShowState::Minimized;
    if (text == "MAXIMIZE") return ShowState::Maximized;
    return std::nullopt;
}

std::string_view ShowStateText(ShowState state) {
    switch (state) {
        case ShowState::Minimized:
            return "MINIMIZE";
        case ShowState::Maximized:
            return "MAXIMIZE";
        case ShowState::Normal:
            break;
    }
    return "NORMAL";
}

namespace {

// How much of the window must lie on a screen for the user to grab it.
constexpr int kVisibleMargin = 48;

bool reachable(const Rect& r, const Rect& area) {
    return r.right - kVisibleMargin > area.left && r.left + kVisibleMargin < area.right &&
           r.top >= area.top - kVisibleMargin / 2 && r.top + kVisibleMargin < area.bottom;
}

}  // namespace

Rect PlaceRestoredRect(Rect stored, const std::vector<Rect>& workAreas) {
    Rect r = stored;
    if (r.width() < kMinWindowWidth) r.right = r.left + kMinWindowWidth;
    if (r.height() < kMinWindowHeight) r.bottom = r.top + kMinWindowHeight;
    if (workAreas.empty()) return r;
    for (const Rect& area : workAreas)
        if (reachable(r, area)) return r;
    const Rect& area = workAreas.front();
    const int width = std::min(r.width(), area.width());
    const int height = std::min(r.height(), area.height());
    const int left = area.left + (area.width() - width) / 2;
    const int top = area.top + (area.height() - height) / 2;
    return {left, top, left + width, top + height};
}

}  // namespace tl::frame
