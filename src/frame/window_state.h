#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "widgets/rect.h"

namespace tl::frame {

// The main window's show state as WINDOW_POS/WINSTAT stores it.
enum class ShowState { Normal, Minimized, Maximized };

// "NORMAL", "MINIMIZE" or "MAXIMIZE", compared exactly; anything else
// leaves the window as it was created.
std::optional<ShowState> ParseShowState(std::string_view text);
std::string_view ShowStateText(ShowState state);

// The smallest restored window that still shows its menus and an entry.
inline constexpr int kMinWindowWidth = 320;
inline constexpr int kMinWindowHeight = 240;

// The restored rectangle to create the window with. A stored rectangle
// that no longer meets any work area (a screen was removed, or the stored
// values are nonsense) is moved, shrunk where needed, onto the first one;
// one that is too small grows to the minimum. The first work area is the
// primary screen's.
// Rectangles as the settings keep them (right and bottom exclusive).
widgets::Rect PlaceRestoredRect(widgets::Rect stored, const std::vector<widgets::Rect>& workAreas);

}  // namespace tl::frame
