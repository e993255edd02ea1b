#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tl::frame {

// The main window's show state as WINDOW_POS/WINSTAT stores it.
enum class ShowState { Normal, Minimized, Maximized };

// "NORMAL", "MINIMIZE" or "MAXIMIZE", compared exactly; anything else
// leaves the window as it was created.
std::optional<ShowState> ParseShowState(std::string_view text);
std::string_view ShowStateText(ShowState state);

// A rectangle as the settings keep it: right and bottom are exclusive.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The smallest restored window that still shows its menus and an entry.
inline constexpr int kMinWindowWidth = 320;
inline constexpr int kMinWindowHeight = 240;

// The restored rectangle to create the window with. A stored rectangle
// that no longer meets any work area (a screen was removed, or the stored
// values are nonsense) is moved, shrunk where needed, onto the first one;
// one that is too small grows to the minimum. The first work area is the
// primary screen's.
Rect PlaceRestoredRect(Rect stored, const std::vector<Rect>& workAreas);

}  // namespace tl::frame
