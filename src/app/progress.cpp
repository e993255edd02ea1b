#include "progress.h"

namespace tl::app {

Progress::Progress(res::UserInterface& ui, std::string_view title) : m_ui(ui) {
    m_ui.openProgress(title);
}

Progress::~Progress() {
    CloseProgress();
}

Progress::Step Progress::StepProgress(int percent) {
    if (!m_cancelled && !m_ui.stepProgress(percent)) m_cancelled = true;
    return m_cancelled ? Step::Cancel : Step::Continue;
}

void Progress::CloseProgress() {
    if (m_open) m_ui.closeProgress();
    m_open = false;
}

bool Progress::CopyProgressRoutine(std::uint64_t copied, std::uint64_t total) {
    // An empty file is done as soon as it starts.
    const int percent = total == 0 ? 100 : static_cast<int>(copied * 100 / total);
    if (StepProgress(percent) == Step::Continue) return true;
    if (!m_aborted) m_ui.inform(res::Msg::Aborted);
    m_aborted = true;
    return false;
}

store::CopyProgress Progress::copyProgress() {
    return [this](std::uint64_t copied, std::uint64_t total) {
        return CopyProgressRoutine(copied, total);
    };
}

}  // namespace tl::app
