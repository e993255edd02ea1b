#pragma once

#include <string>

namespace tl::cli {

inline constexpr const char* kDataFileName = "Mrlwbk31.dat";

// The per-user data folder ($XDG_DATA_HOME, else ~/.local/share) followed by
// "Tally Leaf"; no trailing separator.
std::string DefaultDataFolder();
std::string DefaultDataFile();

}  // namespace tl::cli
