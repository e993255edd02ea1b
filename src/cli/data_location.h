#pragma once

#include <string>

#include "app/app_settings.h"
#include "app/data_location.h"

namespace tl::cli {

using app::kDataFileName;

// The per-user data folder ($XDG_DATA_HOME, else ~/.local/share) followed by
// "Tally Leaf"; no trailing separator.
std::string DefaultDataFolder();
std::string DefaultDataFile();

// The user's settings as the desktop program loads them (no screen here,
// so the window rectangle is not meaningful).
app::AppSettings LoadUserSettings();
// The data file the desktop program opens: the default folder, or the
// folder of FILE LOCATION when FILE LOCATION_DEFAULT is 0.
std::string LocatedDataFile();

}  // namespace tl::cli
