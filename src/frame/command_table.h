#pragma once

// The main window's menus, keys and enabling rules as plain data, so that
// they are checked without a display. The window turns them into actions.

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "res/commands.h"

namespace tl::frame {

// A menu item; a separator has no text.
struct MenuItem {
    std::string_view text;  // "&" marks the mnemonic, "\t" the key shown
    res::Cmd cmd{};
    bool separator() const { return text.empty(); }
};

struct Popup {
    std::string_view title;
    std::vector<MenuItem> items;
};

// Menu 128 is shown while no entry is open, menu 129 while one is.
enum class MenuKind { NoEntry = 128, Entry = 129 };
const std::vector<Popup>& Menu(MenuKind kind);

// The View menu's toggles show a check mark.
bool IsCheckable(res::Cmd cmd);

// One row of the accelerator table. Keys are in QKeySequence's portable
// text form; a command may have several.
struct Accelerator {
    std::string_view key;
    res::Cmd cmd{};
};
std::span<const Accelerator> Accelerators();

// What the enabling rules look at.
struct CommandState {
    bool dataOpen = false;  // the data file is open (start-up has finished)
    bool entryOpen = false;
    bool readOnly = false;
    bool findTextEmpty = true;
    bool sideBarVisible = false;
};

// Who answers a command: the open entries (through CDiaryDocuments), the
// main window, or nobody yet (its window is built later; the item is shown
// greyed rather than doing nothing).
enum class Handler { Entries, Frame, NotYetBuilt };
Handler HandlerOf(res::Cmd cmd);

// Whether the command's menu item and keys are enabled. entryEnabled is
// what the open entries answer for it.
bool IsCommandEnabled(res::Cmd cmd, const CommandState& state, bool entryEnabled);

// Commands that change the data file: greyed while it is read-only.
bool ChangesDataFile(res::Cmd cmd);

}  // namespace tl::frame
