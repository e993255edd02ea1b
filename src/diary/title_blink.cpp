#include "title_blink.h"

namespace tl::diary {

bool TitleBlink::tick(bool phaseOn) {
    if (m_kind == 0) return false;
    bool changed = m_phase != !phaseOn;
    m_phase = !phaseOn;
    return changed;
}

}  // namespace tl::diary
