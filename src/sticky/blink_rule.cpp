#include "blink_rule.h"

namespace tl::sticky {

bool BlinkPhase::tick(bool phaseOn, bool inTerm) {
    const bool phase = m_kind != 0 && inTerm && !phaseOn;
    const bool changed = phase != m_phase;
    m_phase = phase;
    return changed;
}

}  // namespace tl::sticky
