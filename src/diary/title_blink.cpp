#include "title_blink.h"

#include "widgets/color.h"

namespace tl::diary {

bool TitleBlink::tick(bool phaseOn) {
    if (m_kind == 0) return false;
    bool changed = m_phase != !phaseOn;
    m_phase = !phaseOn;
    return changed;
}

TitleBlink::Colors TitleBlink::shownColors(std::uint32_t text, bool backgroundOn,
                                           std::uint32_t background) const {
    Colors colors{backgroundOn ? background : widgets::Rgb(255, 255, 255), text};
    if (inverted()) {
        colors.background = widgets::InvertedColor(colors.background);
        colors.text = widgets::InvertedColor(colors.text);
    }
    return colors;
}

}  // namespace tl::diary
