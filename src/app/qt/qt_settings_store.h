#pragma once

#include <QSettings>
#include <memory>

#include "app/settings_store.h"

namespace tl::app {

// The settings in QSettings: organisation "Lantern", application
// "Tallyleaf", keys "SECTION/NAME". The native format (an INI file under
// the user's configuration folder here) keeps no value kinds, so an int is
// whatever reads back as a whole 32-bit number.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    // A store in the given INI file, for tests and tools.
    explicit QtSettingsStore(const QString& iniPath);
    ~QtSettingsStore() override;

    std::optional<int> readInt(const std::string& section, const std::string& name) override;
    std::optional<std::string> readText(const std::string& section,
                                        const std::string& name) override;
    void writeInt(const std::string& section, const std::string& name, int value) override;
    void writeText(const std::string& section, const std::string& name,
                   const std::string& value) override;
    void flush() override;
    // Whether a value of that name is stored at all.
    bool contains(const std::string& section, const std::string& name) const;
    QString fileName() const { return m_settings->fileName(); }

private:
    std::unique_ptr<QSettings> m_settings;
};

}  // namespace tl::app
