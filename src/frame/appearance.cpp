#include "appearance.h"

#include "widgets/field_number.h"

namespace tl::frame {

namespace {

constexpr int kMaxRate = 99;

store::TitleColors TitleColorsOf(const app::AppSettings& settings) {
    const auto& t = settings.titleColor;
    return {static_cast<std::uint32_t>(t.color), static_cast<std::uint32_t>(t.backColorSpecified),
            static_cast<std::uint32_t>(t.backColor), static_cast<std::uint32_t>(t.blink)};
}

}  // namespace

Appearance AppearanceOf(const app::AppSettings& settings) {
    Appearance a;
    a.sideBarLeft = settings.dayBar.left != 0 ? 1 : 0;
    a.translucent = settings.tag.transparent;
    a.translucentRate = settings.tag.transparentRate;
    a.oneRateForAll = settings.tag.transparentSetAll;
    a.pictureReduction = settings.picture.reduction;
    a.defaultTitle = TitleColorsOf(settings);
    a.blinkInterval = settings.titleColor.blinkInterval;
    a.weekdayOnTabs = settings.tab.weekday;
    a.editorText = settings.mainWindow.textColor;
    a.editorBack = settings.mainWindow.backColor;
    a.colorSpecified = settings.mainWindow.colorSpecify;
    a.weatherShown = settings.etc.weatherEnable;
    a.onThisDayAtStart = settings.onThisDay.atStartup;
    return a;
}

AppearanceEnabling EnablingOf(bool layeredWindows, bool translucentChecked, bool collective,
                              bool weatherChecked) {
    AppearanceEnabling e;
    e.translucentBox = layeredWindows;
    e.rateChoice = layeredWindows && translucentChecked;
    e.rateEdit = e.rateChoice && collective;
    e.editChoices = weatherChecked;
    return e;
}

int StepRate(int shown, bool up) {
    if (up) return shown < kMaxRate ? shown + 1 : shown;
    return shown > 0 ? shown - 1 : shown;
}

std::optional<AppearanceFault> CheckAppearance(std::u16string_view rate,
                                               std::u16string_view blinkCycle) {
    const int r = widgets::ReadFieldNumber(rate);
    if (r < 0 || r > kMaxRate)
        return AppearanceFault{res::Msg::TransparencyAbnormal, AppearanceField::Rate};
    if (widgets::ReadFieldNumber(blinkCycle) <= 0)
        return AppearanceFault{res::Msg::BlinkRateIncorrect, AppearanceField::BlinkCycle};
    return std::nullopt;
}

AppearanceChanges StoreAppearance(const Appearance& v, app::AppSettings& settings) {
    const Appearance before = AppearanceOf(settings);
    AppearanceChanges changes;
    changes.translucency = v.translucent != before.translucent ||
                           v.translucentRate != before.translucentRate ||
                           v.oneRateForAll != before.oneRateForAll;
    changes.sideBarSide = v.sideBarLeft != before.sideBarLeft;
    changes.weekdayOnTabs = v.weekdayOnTabs != before.weekdayOnTabs;

    settings.dayBar.left = v.sideBarLeft;
    settings.tag.transparent = v.translucent;
    settings.tag.transparentRate = v.translucentRate;
    settings.tag.transparentSetAll = v.oneRateForAll;
    auto& title = settings.titleColor;
    title.color = static_cast<app::Color>(v.defaultTitle.text);
    title.backColorSpecified = static_cast<int>(v.defaultTitle.backgroundOn);
    title.backColor = static_cast<app::Color>(v.defaultTitle.background);
    title.blink = static_cast<int>(v.defaultTitle.blink);
    title.blinkInterval = v.blinkInterval;
    settings.picture.reduction = v.pictureReduction;
    settings.tab.weekday = v.weekdayOnTabs;
    settings.mainWindow.textColor = v.editorText;
    settings.mainWindow.backColor = v.editorBack;
    settings.mainWindow.colorSpecify = v.colorSpecified;
    settings.etc.weatherEnable = v.weatherShown;
    settings.onThisDay.atStartup = v.onThisDayAtStart;
    return changes;
}

}  // namespace tl::frame
