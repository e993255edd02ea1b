#include "blink_round.h"

namespace tl::sticky {

void BlinkRound::set(BlinkTarget target, Tick tick) {
    m_targets[static_cast<std::size_t>(target)] = std::move(tick);
}

void BlinkRound::tick() {
    const bool phaseOn = m_phaseOn;
    for (const Tick& target : m_targets)
        if (target) target(phaseOn);
    m_phaseOn = !phaseOn;
}

}  // namespace tl::sticky
