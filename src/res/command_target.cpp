#include "command_target.h"

#include <cassert>

namespace tl::res {

void CommandRegistry::add(CommandTarget& target, std::span<const Cmd> commands) {
    for (Cmd cmd : commands) {
        [[maybe_unused]] const bool inserted = m_targets.emplace(cmd, &target).second;
        assert(inserted && "a command has one target");
    }
}

void CommandRegistry::remove(CommandTarget& target) {
    std::erase_if(m_targets, [&](const auto& entry) { return entry.second == &target; });
}

CommandTarget* CommandRegistry::targetOf(Cmd cmd) const {
    const auto it = m_targets.find(cmd);
    return it == m_targets.end() ? nullptr : it->second;
}

bool CommandRegistry::isEnabled(Cmd cmd) const {
    const CommandTarget* target = targetOf(cmd);
    return target && target->isEnabled(cmd);
}

std::optional<bool> CommandRegistry::isChecked(Cmd cmd) const {
    const CommandTarget* target = targetOf(cmd);
    return target ? target->isChecked(cmd) : std::nullopt;
}

bool CommandRegistry::run(Cmd cmd) {
    CommandTarget* target = targetOf(cmd);
    if (!target || !target->isEnabled(cmd)) return false;
    try {
        target->run(cmd);
    } catch (...) {
        if (m_failure) m_failure(std::current_exception());
    }
    return true;
}

void CommandRegistry::changed(Cmd cmd) const {
    if (m_changed) m_changed(cmd);
}

void CommandRegistry::changed(std::initializer_list<Cmd> cmds) const {
    for (Cmd cmd : cmds) changed(cmd);
}

std::vector<Cmd> CommandRegistry::withoutTarget(std::span<const Cmd> commands) const {
    std::vector<Cmd> missing;
    for (Cmd cmd : commands)
        if (!targetOf(cmd)) missing.push_back(cmd);
    return missing;
}

}  // namespace tl::res
