#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tl::app {

// The per-user store behind the settings record: values addressed by an
// upper-case section and name, each an int (32-bit, signed) or a text
// (UTF-8 here). The program uses QSettings (qt/qt_settings_store.h), tests
// the map below.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // nullopt when the value is missing or is not of the kind asked for.
    virtual std::optional<int> readInt(const std::string& section, const std::string& name) = 0;
    virtual std::optional<std::string> readText(const std::string& section,
                                                const std::string& name) = 0;
    virtual void writeInt(const std::string& section, const std::string& name, int value) = 0;
    virtual void writeText(const std::string& section, const std::string& name,
                           const std::string& value) = 0;
    // Values written reach the persistent store.
    virtual void flush() {}
};

// Settings in memory, keeping the kind of each value as a typed store does.
class MemSettingsStore final : public SettingsStore {
public:
    using Value = std::variant<int, std::string>;
    using Key = std::pair<std::string, std::string>;

    std::optional<int> readInt(const std::string& section, const std::string& name) override;
    std::optional<std::string> readText(const std::string& section,
                                        const std::string& name) override;
    void writeInt(const std::string& section, const std::string& name, int value) override;
    void writeText(const std::string& section, const std::string& name,
                   const std::string& value) override;

    const std::map<Key, Value>& values() const { return m_values; }
    // The order of the writes, as "SECTION/NAME".
    const std::vector<std::string>& writeOrder() const { return m_order; }
    bool empty() const { return m_values.empty(); }

private:
    std::map<Key, Value> m_values;
    std::vector<std::string> m_order;
};

}  // namespace tl::app
