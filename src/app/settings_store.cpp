#include "settings_store.h"

namespace tl::app {

std::optional<int> MemSettingsStore::readInt(const std::string& section, const std::string& name) {
    auto it = m_values.find({section, name});
    if (it == m_values.end() || !std::holds_alternative<int>(it->second)) return std::nullopt;
    return std::get<int>(it->second);
}

std::optional<std::string> MemSettingsStore::readText(const std::string& section,
                                                      const std::string& name) {
    auto it = m_values.find({section, name});
    if (it == m_values.end() || !std::holds_alternative<std::string>(it->second))
        return std::nullopt;
    return std::get<std::string>(it->second);
}

void MemSettingsStore::writeInt(const std::string& section, const std::string& name, int value) {
    m_values[{section, name}] = value;
    m_order.push_back(section + "/" + name);
}

void MemSettingsStore::writeText(const std::string& section, const std::string& name,
                                 const std::string& value) {
    m_values[{section, name}] = value;
    m_order.push_back(section + "/" + name);
}

}  // namespace tl::app
