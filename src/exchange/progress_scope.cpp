#include "progress_scope.h"

namespace tl::exchange {

ProgressScope::ProgressScope(res::UserInterface& ui, res::Msg title) : m_ui(ui) {
    m_ui.openProgress(res::Text(title));
}

bool ProgressScope::step(std::uint64_t done, std::uint64_t total) {
    return stepPercent(total == 0 ? 100 : static_cast<int>(done * 100 / total));
}

bool ProgressScope::stepPercent(int percent) {
    if (!m_cancelled && !m_ui.stepProgress(percent)) m_cancelled = true;
    return !m_cancelled;
}

void ProgressScope::close() {
    if (m_open) m_ui.closeProgress();
    m_open = false;
}

void ProgressScope::abort() {
    close();
    m_ui.inform(res::Msg::ProcessingAborted);
}

}  // namespace tl::exchange
