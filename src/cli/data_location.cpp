#include "data_location.h"

#include <filesystem>

#include "app/qt/qt_settings_store.h"
#include "res/messages.h"

namespace tl::cli {

std::string DefaultDataFolder() {
    return (std::filesystem::path(app::UserDataFolder()) /
            std::string(res::Text(res::Msg::DisplayTitle)))
        .string();
}

std::string DefaultDataFile() {
    return (std::filesystem::path(DefaultDataFolder()) / kDataFileName).string();
}

app::AppSettings LoadUserSettings() {
    app::QtSettingsStore store;
    return app::LoadSettings(store, {});
}

std::string LocatedDataFile() {
    const app::AppSettings settings = LoadUserSettings();
    if (settings.file.locationDefault == 1 || settings.file.location.empty())
        return DefaultDataFile();
    return (std::filesystem::path(settings.file.location) / kDataFileName).string();
}

}  // namespace tl::cli
