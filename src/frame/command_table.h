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

// Where a key acts. Window keys work wherever the focus is in the main
// window; Entry keys only while the focus is in the active entry's editor or
// header fields (the field takes them); Editor keys only while its editor
// has the focus, so that F9 typed in the day list inserts no border.
enum class KeyScope { Window, Entry, Editor };

// One row of the accelerator table. Keys are in QKeySequence's portable
// text form; a command may have several.
struct Accelerator {
    std::string_view key;
    res::Cmd cmd{};
    KeyScope scope = KeyScope::Window;
};
std::span<const Accelerator> Accelerators();

// What the main window's own enabling rules look at.
struct CommandState {
    bool dataOpen = false;  // the data file is open (start-up has finished)
    bool readOnly = false;
    bool findTextEmpty = true;
    bool sideBarVisible = false;
};

// The main window's rules, asked before the command's target: what needs
// the data file, what writes it, what needs a find text or the side bar.
// A command runs only when these allow it and its target enables it.
bool IsCommandAllowed(res::Cmd cmd, const CommandState& state);

// Every command of both menus and of the accelerator table, each once.
std::vector<res::Cmd> MenuAndKeyCommands();

// Commands that change the data file: greyed while it is read-only.
bool ChangesDataFile(res::Cmd cmd);

}  // namespace tl::frame
