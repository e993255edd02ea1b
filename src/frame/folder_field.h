#pragma once

#include <optional>
#include <string>

#include "res/user_interface.h"

class QLineEdit;

namespace tl::frame {

// The folder typed into field, trimmed and without trailing separators,
// when it names an existing folder; the field then shows it with one
// separator. Otherwise tells why ("Specify folder name.", "Folder name is
// incorrect.") and leaves the field focused with its text selected.
std::optional<std::string> CheckedFolder(QLineEdit* field, res::UserInterface& ui);

}  // namespace tl::frame
