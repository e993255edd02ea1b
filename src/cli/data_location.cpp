#include "data_location.h"

#include <cstdlib>
#include <filesystem>

namespace tl::cli {

std::string DefaultDataFolder() {
    std::filesystem::path base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : ".") / ".local" / "share";
    }
    return (base / "Tally Leaf").string();
}

std::string DefaultDataFile() { return (std::filesystem::path(DefaultDataFolder()) / kDataFileName).string(); }

}  // namespace tl::cli
