#include "blink_rule.h"

#include "widgets/color.h"

namespace tl::sticky {

bool BlinkPhase::tick(bool phaseOn, bool inTerm) {
    const bool phase = m_kind != 0 && inTerm && !phaseOn;
    const bool changed = phase != m_phase;
    m_phase = phase;
    return changed;
}

BlinkPhase::Colors BlinkPhase::shownColors(std::uint32_t text, bool backgroundOn,
                                           std::uint32_t background) const {
    Colors colors{backgroundOn ? background : widgets::Rgb(255, 255, 255), text};
    if (inverted()) {
        colors.background = widgets::InvertedColor(colors.background);
        colors.text = widgets::InvertedColor(colors.text);
    }
    return colors;
}

}  // namespace tl::sticky
