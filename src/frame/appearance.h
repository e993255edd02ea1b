#pragma once

// What the display settings dialog decides, without its widgets: the
// working copy of the values it edits, which controls are enabled, the
// checks of OK, and what changed when the values are stored, so that only
// the windows concerned are redone.

#include <optional>
#include <string_view>

#include "app/app_settings.h"
#include "res/messages.h"
#include "store/records.h"

namespace tl::frame {

// The dialog's working copy. Flags are 0 or 1, colours 0x00BBGGRR.
struct Appearance {
    int sideBarLeft = 1;
    int translucent = 1;
    int translucentRate = 40;
    int oneRateForAll = 1;  // "Collective"
    int pictureReduction = 1;
    store::TitleColors defaultTitle;  // the title colour set of new entries
    int blinkInterval = 500;          // milliseconds
    int weekdayOnTabs = 0;
    app::Color editorText = 0;  // not edited here, stored back as it was
    app::Color editorBack = 0;
    int colorSpecified = 1;
    int weatherShown = 1;
    int onThisDayAtStart = 0;  // "On this day" beside today's entry at start

    friend bool operator==(const Appearance&, const Appearance&) = default;
};

Appearance AppearanceOf(const app::AppSettings& settings);

// Which controls take input. The rate, its up-down control and the two
// radio buttons follow the check box; the check box itself needs layered
// (translucent) windows.
struct AppearanceEnabling {
    bool translucentBox = false;
    bool rateChoice = false;  // "Transparent rate", "Individual", "Collective"
    bool rateEdit = false;    // the rate and its up-down control
    bool editChoices = false;
};
AppearanceEnabling EnablingOf(bool layeredWindows, bool translucentChecked, bool collective,
                              bool weatherChecked);

// The rate's up-down control: one step up while below 99, down while
// above 0.
int StepRate(int shown, bool up);

enum class AppearanceField { Rate, BlinkCycle };
struct AppearanceFault {
    res::Msg message;
    AppearanceField field;
};
// OK's checks in order: the rate from 0 to 99, a blink cycle above 0, each
// read as widgets::ReadFieldNumber reads a field.
std::optional<AppearanceFault> CheckAppearance(std::u16string_view rate,
                                               std::u16string_view blinkCycle);

// The settings that changed when the values were stored and that other
// windows show.
struct AppearanceChanges {
    bool translucency = false;  // on/off, the common rate or one-for-all
    bool sideBarSide = false;
    bool weekdayOnTabs = false;
};
// Stores every value into the settings; returns what changed.
AppearanceChanges StoreAppearance(const Appearance& values, app::AppSettings& settings);

}  // namespace tl::frame
