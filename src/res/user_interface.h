#pragma once

#include <string_view>

#include "messages.h"

namespace tl::res {

enum class Answer { Yes, No, Cancel };

// Everything the engine tells or asks the user goes through this interface.
// The desktop program answers with message boxes and a progress window, the
// command-line tool with standard error and a terminal progress bar, tests
// with a scripted fake. Engine code never opens a window itself.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    virtual void warn(std::string_view text) = 0;
    virtual void inform(std::string_view text) = 0;
    [[nodiscard]] virtual bool askYesNo(std::string_view text) = 0;
    [[nodiscard]] virtual Answer askYesNoCancel(std::string_view text) = 0;
    // A question answered with OK or Cancel: true for OK. Where there are
    // no such buttons (a terminal) Yes and No stand for them.
    [[nodiscard]] virtual bool askOkCancel(std::string_view text) { return askYesNo(text); }

    // Progress of a long operation: open with a title, step to a percentage
    // (0-100), close. stepProgress answers false when the user cancelled.
    virtual void openProgress(std::string_view title) = 0;
    [[nodiscard]] virtual bool stepProgress(int percent) = 0;
    virtual void closeProgress() = 0;
    // Long work calls this often, also where no progress window is up or
    // between two steps, so that the program keeps painting and its timers
    // keep running. It never starts anything and tells nothing; cheap
    // enough to call once per record.
    virtual void keepAlive() {}

    void warn(Msg id) { warn(Text(id)); }
    void inform(Msg id) { inform(Text(id)); }
};

// Says nothing, answers No, never cancels. For callers that have no user,
// such as a second data file object whose owner reports failures itself.
class SilentUserInterface final : public UserInterface {
public:
    using UserInterface::inform;
    using UserInterface::warn;
    void warn(std::string_view) override {}
    void inform(std::string_view) override {}
    bool askYesNo(std::string_view) override { return false; }
    Answer askYesNoCancel(std::string_view) override { return Answer::Cancel; }
    void openProgress(std::string_view) override {}
    bool stepProgress(int) override { return true; }
    void closeProgress() override {}
};

// The shared silent instance.
UserInterface& Silent();

}  // namespace tl::res
