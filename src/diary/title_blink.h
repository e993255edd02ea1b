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

private:
    std::uint32_t m_kind = 0;
    bool m_phase = false;
};

// 0x00BBGGRR with every channel inverted.
inline std::uint32_t InvertedColor(std::uint32_t color) {
    return ~color & 0xFFFFFFu;
}

}  // namespace tl::diary
