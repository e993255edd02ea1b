#include "recording_ui.h"

namespace tl::testing {

void RecordingUi::warn(std::string_view text) {
    m_events.push_back({"warn", std::string(text)});
}
void RecordingUi::inform(std::string_view text) {
    m_events.push_back({"inform", std::string(text)});
}

res::Answer RecordingUi::next() {
    if (m_answers.empty()) {
        m_unexpected = true;
        return res::Answer::Cancel;
    }
    res::Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

bool RecordingUi::askYesNo(std::string_view text) {
    m_events.push_back({"ask", std::string(text)});
    return next() == res::Answer::Yes;
}

res::Answer RecordingUi::askYesNoCancel(std::string_view text) {
    m_events.push_back({"ask", std::string(text)});
    return next();
}

bool RecordingUi::askOkCancel(std::string_view text) {
    m_events.push_back({"askOkCancel", std::string(text)});
    return next() == res::Answer::Yes;
}

void RecordingUi::openProgress(std::string_view title) {
    m_events.push_back({"open", std::string(title)});
}

bool RecordingUi::stepProgress(int percent) {
    m_events.push_back({"step", std::to_string(percent)});
    ++m_steps;
    if (m_cancelAtPercent >= 0 && percent >= m_cancelAtPercent) return false;
    return m_cancelAt == 0 || m_steps < m_cancelAt;
}

void RecordingUi::closeProgress() {
    m_events.push_back({"close", {}});
}

std::vector<std::string> RecordingUi::warnings() const {
    std::vector<std::string> out;
    for (const Event& e : m_events)
        if (e.kind == "warn") out.push_back(e.text);
    return out;
}

std::vector<std::string> RecordingUi::informations() const {
    std::vector<std::string> out;
    for (const Event& e : m_events)
        if (e.kind == "inform") out.push_back(e.text);
    return out;
}

}  // namespace tl::testing
