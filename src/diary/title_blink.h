#pragma once

// The blink rule of an entry title (and of the colour dialog's preview):
// on every tick of the shared blink clock an element whose blink kind is
// not 0 takes the phase "not phaseOn"; while its phase is set, kind 1 hides
// the text and kind 2 draws the area inverted.

#include <cstdint>

namespace tl::diary {

class TitleBlink {
public:
    void setKind(std::uint32_t kind) {
        m_kind = kind;
        m_phase = false;
    }
    std::uint32_t kind() const { return m_kind; }
    void reset() { m_phase = false; }
    // True when the element must be repainted.
    bool tick(bool phaseOn);
    bool textHidden() const { return m_phase && m_kind == 1; }
    bool inverted() const { return m_phase && m_kind == 2; }

    // The colours (0x00BBGGRR) the element paints with now: white behind
    // the text where no background is on, both inverted while inverted().
    struct Colors {
        std::uint32_t background = 0;
        std::uint32_t text = 0;
    };
    Colors shownColors(std::uint32_t text, bool backgroundOn, std::uint32_t background) const;

private:
    std::uint32_t m_kind = 0;
    bool m_phase = false;
};

}  // namespace tl::diary
