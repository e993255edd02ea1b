#pragma once

// The checks of the exchange dialogs' fields, as plain functions: the
// dialogs show the message and focus the field; the command-line tool
// prints the message.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "res/messages.h"

namespace tl::exchange {

// A folder typed into a dialog: spaces trimmed, trailing separators
// removed, and it must be an existing folder.
struct FolderCheck {
    std::string folder;             // without trailing separator
    std::optional<res::Msg> error;  // SpecifyFolderName or FolderNameIncorrect
    // The field's text afterwards: the folder with one separator.
    std::string display() const { return folder + "/"; }
};
FolderCheck CheckFolder(std::string_view typed);

// One end of an export range from its year, month and day fields (empty
// text = empty field).
enum class RangeField { Year, Month, Day };
struct RangeKeyCheck {
    std::string key;  // eight characters
    std::optional<res::Msg> error;
    RangeField field = RangeField::Year;  // the field to focus on error
};
// The start key: "00000000", "%04d0000", "%04d%02d00" or the full date.
RangeKeyCheck FromKey(std::string_view year, std::string_view month, std::string_view day);
// The end key: "99999999", "%04d9999", "%04d%02d99" or the full date.
RangeKeyCheck ToKey(std::string_view year, std::string_view month, std::string_view day);

// Both ends; the first error wins, StartAfterEnd when from > to.
struct RangeCheck {
    std::string fromKey = "00000000";
    std::string toKey = "99999999";
    std::optional<res::Msg> error;
    bool errorInEnd = false;
    RangeField field = RangeField::Year;
};
struct DateFields {
    std::string year, month, day;
};
RangeCheck CheckRange(const DateFields& from, const DateFields& to);

// Remembered folders, newest first; an empty text is an empty slot.
using FolderHistory = std::array<std::string, 5>;
// Moves the folder to the front: when it is in the list the entries before
// it move down one place, otherwise every entry moves down and the fifth
// is dropped.
void RememberFolder(FolderHistory& history, const std::string& folder);

}  // namespace tl::exchange
