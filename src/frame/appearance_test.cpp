#include "appearance.h"

#include <gtest/gtest.h>

namespace tl::frame {
namespace {

TEST(AppearanceTest, TranslucencyControlsFollowTheBoxTheChoiceAndThePlatform) {
    struct Case {
        bool layered, checked, collective;
        AppearanceEnabling expected;
    };
    for (const Case& c : {
             Case{true, true, true, {true, true, true, false}},
             Case{true, true, false, {true, true, false, false}},    // Individual: no rate
             Case{true, false, true, {true, false, false, false}},   // box off: all five off
             Case{false, true, true, {false, false, false, false}},  // no layered windows
         }) {
        const AppearanceEnabling e = EnablingOf(c.layered, c.checked, c.collective, false);
        EXPECT_EQ(e.translucentBox, c.expected.translucentBox);
        EXPECT_EQ(e.rateChoice, c.expected.rateChoice);
        EXPECT_EQ(e.rateEdit, c.expected.rateEdit);
    }
    EXPECT_TRUE(EnablingOf(false, false, false, true).editChoices);
    EXPECT_FALSE(EnablingOf(true, true, true, false).editChoices);
}

TEST(AppearanceTest, RateStepsStayWithin0And99) {
    EXPECT_EQ(StepRate(40, true), 41);
    EXPECT_EQ(StepRate(98, true), 99);
    EXPECT_EQ(StepRate(99, true), 99);
    EXPECT_EQ(StepRate(150, true), 150);  // typed out of range: the arrow leaves it
    EXPECT_EQ(StepRate(1, false), 0);
    EXPECT_EQ(StepRate(0, false), 0);
    EXPECT_EQ(StepRate(150, false), 149);
}

TEST(AppearanceTest, OkRefusesARateOutside0To99ThenABlinkCycleNotAbove0) {
    auto fault = [](std::u16string_view rate, std::u16string_view blink) {
        const std::optional<AppearanceFault> f = CheckAppearance(rate, blink);
        return f ? std::optional<std::pair<res::Msg, AppearanceField>>({f->message, f->field})
                 : std::nullopt;
    };
    const auto rate = std::pair{res::Msg::TransparencyAbnormal, AppearanceField::Rate};
    const auto blink = std::pair{res::Msg::BlinkRateIncorrect, AppearanceField::BlinkCycle};
    EXPECT_EQ(fault(u"40", u"500"), std::nullopt);
    EXPECT_EQ(fault(u"0", u"1"), std::nullopt);
    EXPECT_EQ(fault(u"99", u"9999"), std::nullopt);
    EXPECT_EQ(fault(u"150", u"500"), rate);
    EXPECT_EQ(fault(u"-1", u"500"), rate);
    EXPECT_EQ(fault(u"150", u"0"), rate);  // the rate first
    EXPECT_EQ(fault(u"40", u"0"), blink);
    EXPECT_EQ(fault(u"40", u"-5"), blink);
    EXPECT_EQ(fault(u"40", u""), blink);
    // Non-numeric text reads as 0: a rate of 0, a cycle of 0.
    EXPECT_EQ(fault(u"abc", u"500"), std::nullopt);
    EXPECT_EQ(fault(u"40", u"x1"), blink);
    EXPECT_EQ(fault(u"99999999999", u"500"), rate);  // no overflow into range
}

TEST(AppearanceTest, StoringWritesEveryValueAndTellsWhatOthersMustRedo) {
    app::AppSettings settings;
    const Appearance before = AppearanceOf(settings);
    EXPECT_EQ(before.sideBarLeft, 1);
    EXPECT_EQ(before.blinkInterval, 500);
    EXPECT_EQ(before.editorBack, 0xE6FFFF);

    Appearance same = before;
    const AppearanceChanges none = StoreAppearance(same, settings);
    EXPECT_FALSE(none.translucency || none.sideBarSide || none.weekdayOnTabs);

    Appearance v = before;
    v.sideBarLeft = 0;
    v.translucentRate = 60;
    v.pictureReduction = 0;
    v.defaultTitle = {0x0000FF, 1, 0x00FFFF, 2};
    v.blinkInterval = 250;
    v.weekdayOnTabs = 1;
    v.editorBack = 0x112233;
    v.colorSpecified = 0;
    v.weatherShown = 0;
    v.onThisDayAtStart = 1;
    const AppearanceChanges c = StoreAppearance(v, settings);
    EXPECT_TRUE(c.translucency);
    EXPECT_TRUE(c.sideBarSide);
    EXPECT_TRUE(c.weekdayOnTabs);
    EXPECT_EQ(AppearanceOf(settings), v);
    EXPECT_EQ(settings.titleColor.color, 0x0000FF);
    EXPECT_EQ(settings.titleColor.backColorSpecified, 1);
    EXPECT_EQ(settings.titleColor.blink, 2);
    EXPECT_EQ(settings.titleColor.blinkInterval, 250);
    EXPECT_EQ(settings.mainWindow.textColor, 0xBF6000);  // kept
    EXPECT_EQ(settings.onThisDay.atStartup, 1);

    for (int Appearance::*field : {&Appearance::translucent, &Appearance::oneRateForAll}) {
        Appearance w = AppearanceOf(settings);
        w.*field = 1 - w.*field;
        EXPECT_TRUE(StoreAppearance(w, settings).translucency);
    }
}

}  // namespace
}  // namespace tl::frame
