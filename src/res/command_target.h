#pragma once

// Command routing: every subsystem that handles commands registers a target
// that answers "enabled?" and "run" for its own commands. The main window
// asks the registry for each menu item, key and button; a command without a
// target is shown greyed.

#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "commands.h"

namespace tl::res {

class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    // Whether the command can run now. Only asked for the target's own commands.
    virtual bool isEnabled(Cmd cmd) const = 0;
    virtual void run(Cmd cmd) = 0;
    // The check mark of a toggle; nullopt for commands without one.
    virtual std::optional<bool> isChecked(Cmd) const { return std::nullopt; }
};

// Owned by the main window; targets are owned by their subsystems and
// remove themselves (or are removed) before they go.
class CommandRegistry {
public:
    // REQUIRES: no other target has any of the commands.
    void add(CommandTarget& target, std::span<const Cmd> commands);
    void add(CommandTarget& target, std::initializer_list<Cmd> commands) {
        add(target, std::span<const Cmd>(commands.begin(), commands.size()));
    }
    void remove(CommandTarget& target);

    CommandTarget* targetOf(Cmd cmd) const;
    bool isEnabled(Cmd cmd) const;
    std::optional<bool> isChecked(Cmd cmd) const;
    // Runs the command when it has a target that enables it; false otherwise.
    // An exception of the target is handed to the failure handler and never
    // leaves: this is the one place where a command's failure is reported.
    bool run(Cmd cmd);

    // Called with the failure of a command's run (the program goes on).
    void setFailureHandler(std::function<void(std::exception_ptr)> handler) {
        m_failure = std::move(handler);
    }
    // Targets call this when the state of some of their commands changed
    // at once (for example the editor's undoAvailable); the listener updates
    // what shows the state without waiting for the periodic refresh.
    void setChangeListener(std::function<void(Cmd)> listener) { m_changed = std::move(listener); }
    void changed(Cmd cmd) const;
    void changed(std::initializer_list<Cmd> cmds) const;

    // The commands of the list that no target handles, in the list's order.
    std::vector<Cmd> withoutTarget(std::span<const Cmd> commands) const;

private:
    std::map<Cmd, CommandTarget*> m_targets;
    std::function<void(std::exception_ptr)> m_failure;
    std::function<void(Cmd)> m_changed;
};

}  // namespace tl::res
