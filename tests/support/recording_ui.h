#pragma once

#include <deque>
#include <string>
#include <vector>

#include "res/user_interface.h"

namespace tl::testing {

// A user interface for tests: records every message and progress call and
// answers questions from a script (Yes when the script runs out is a test
// error, so an unexpected question fails loudly).
class RecordingUi final : public res::UserInterface {
public:
    struct Event {
        std::string kind;  // "warn", "inform", "ask", "askOkCancel", "open", "step", "close"
        std::string text;
    };
    using UserInterface::inform;
    using UserInterface::warn;

    void warn(std::string_view text) override;
    void inform(std::string_view text) override;
    bool askYesNo(std::string_view text) override;
    res::Answer askYesNoCancel(std::string_view text) override;
    // Recorded as "askOkCancel"; Yes in the script stands for OK.
    bool askOkCancel(std::string_view text) override;
    void openProgress(std::string_view title) override;
    bool stepProgress(int percent) override;
    void closeProgress() override;

    void answer(res::Answer a) { m_answers.push_back(a); }
    // Cancel at the n-th step call (1-based); 0 never cancels.
    void cancelAtStep(int n) { m_cancelAt = n; }
    // Cancel at the first step that reports at least percent; for work
    // whose number of step calls depends on timing (waits on workers).
    void cancelAtPercent(int percent) { m_cancelAtPercent = percent; }

    std::vector<std::string> warnings() const;
    std::vector<std::string> informations() const;
    const std::vector<Event>& events() const { return m_events; }
    bool unexpectedQuestion() const { return m_unexpected; }
    void clear() { m_events.clear(); }

private:
    res::Answer next();
    std::vector<Event> m_events;
    std::deque<res::Answer> m_answers;
    int m_steps = 0;
    int m_cancelAt = 0;
    int m_cancelAtPercent = -1;
    bool m_unexpected = false;
};

}  // namespace tl::testing
