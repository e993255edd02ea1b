#pragma once

// One round of the blink clock: every element that can blink is called in
// a fixed order with the clock's phase, then the phase flips. The order
// matters where elements share what they draw (a dialog's preview beside
// the day it edits): they all change within the same round.

#include <array>
#include <cstddef>
#include <functional>

namespace tl::sticky {

// The blink targets in the order of a round.
enum class BlinkTarget : std::size_t {
    DayList,
    TitleColorDialog,
    DisplaySettingsDialog,
    StickySettingsDialog,
    StickyColorDialog,
    SideBar,
    Calendar,
    HeaderViews,
    StickyNotes,
};
inline constexpr std::size_t kBlinkTargets = 9;

class BlinkRound {
public:
    using Tick = std::function<void(bool phaseOn)>;

    // The target's call from now on; an empty one leaves its place unused.
    void set(BlinkTarget target, Tick tick);
    // Calls every target with phaseOn = the phase, in order, then flips it.
    void tick();
    // The phase the next round passes; set before the first round.
    bool phaseOn() const { return m_phaseOn; }

private:
    std::array<Tick, kBlinkTargets> m_targets;
    bool m_phaseOn = true;
};

}  // namespace tl::sticky
