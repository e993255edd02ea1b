#include "app_settings.h"

#include <gtest/gtest.h>

namespace tl::app {
namespace {

const LoadEnvironment kScreen{{0, 0, 1920, 1040}, true};

TEST(AppSettingsTest, FirstStartTakesTheDefaultsAndACentredWindow) {
    MemSettingsStore store;
    AppSettings s = LoadSettings(store, kScreen);
    EXPECT_EQ(s.window.left, 510);
    EXPECT_EQ(s.window.top, 220);
    EXPECT_EQ(s.window.right, 1410);
    EXPECT_EQ(s.window.bottom, 820);
    EXPECT_EQ(s.titleColor.color, 0);
    EXPECT_EQ(s.font.name, "MS PGothic");
    EXPECT_EQ(s.etc.todayRange, 6);
    EXPECT_EQ(s.tagFont.backColor, 0x80FFFF);
    EXPECT_EQ(s.find.windowX, -1);

    SaveSettings(s, store);
    EXPECT_EQ(store.readInt("VERSION", "MAJOR"), 3);
    EXPECT_EQ(store.readInt("VERSION", "MINOR"), 1);
    EXPECT_EQ(store.readText("WINDOW_POS", "WINSTAT"), "NORMAL");
    EXPECT_FALSE(store.readInt("ETC", "DEFTITLECOLOR").has_value());
    // Written in table order, each key once.
    const auto& order = store.writeOrder();
    ASSERT_EQ(order.size(), 106u);
    EXPECT_EQ(order.front(), "VERSION/MAJOR");
    EXPECT_EQ(order[7], "DAYBAR/WIDTH");
    EXPECT_EQ(order[54], "TAGBLINK/TO__ENABLE");
    EXPECT_EQ(order[65], "FILE/LOCATION_HIST1");
    EXPECT_EQ(order[order.size() - 2], "BACKUP/GENERATIONS");
    EXPECT_EQ(order.back(), "ONTHISDAY/STARTUP");
    EXPECT_EQ(store.values().size(), order.size());
}

TEST(AppSettingsTest, WindowOnASmallWorkAreaIsClippedToIt) {
    MemSettingsStore store;
    AppSettings s = LoadSettings(store, {{0, 0, 800, 500}, true});
    EXPECT_EQ(s.window.left, 0);
    EXPECT_EQ(s.window.top, 0);
    EXPECT_EQ(s.window.right, 800);
    EXPECT_EQ(s.window.bottom, 500);
    store.writeInt("WINDOW_POS", "POS_LEFT", -1);
    EXPECT_EQ(LoadSettings(store, kScreen).window.left, -1);
}

TEST(AppSettingsTest, TitleColourIsMigratedFromLayoutsBefore202) {
    MemSettingsStore store;
    store.writeInt("TITLECOL", "TITLECOLOR32", 0x123456);
    store.writeInt("ETC", "DEFTITLECOLOR", 3);
    store.writeInt("VERSION", "MAJOR", 2);
    store.writeInt("VERSION", "MINOR", 2);
    EXPECT_EQ(LoadSettings(store, kScreen).titleColor.color, 0x123456);
    store.writeInt("VERSION", "MINOR", 1);
    AppSettings s = LoadSettings(store, kScreen);
    EXPECT_EQ(s.titleColor.color, 0x00FF00);
    EXPECT_EQ(s.version.major, 3);
    EXPECT_EQ(s.version.minor, 1);
    // An index the table does not have must not read past it.
    store.writeInt("ETC", "DEFTITLECOLOR", 16);
    EXPECT_EQ(LoadSettings(store, kScreen).titleColor.color, 0);
    store.writeInt("ETC", "DEFTITLECOLOR", -1);
    EXPECT_EQ(LoadSettings(store, kScreen).titleColor.color, 0);
}

TEST(AppSettingsTest, NegativeFontHeightFromOldVersionsIsCorrected) {
    MemSettingsStore store;
    for (auto [stored, loaded] : {std::pair{-13, 100}, {-16, 120}, {0, 0}, {120, 120}}) {
        store.writeInt("FONT", "HEIGHT", stored);
        EXPECT_EQ(LoadSettings(store, kScreen).font.height, loaded) << stored;
    }
}

TEST(AppSettingsTest, MistypedValuesTakeTheirDefault) {
    MemSettingsStore store;
    store.writeText("FONT", "HEIGHT", "twelve");
    store.writeInt("FONT", "NAME", 5);
    AppSettings s = LoadSettings(store, kScreen);
    EXPECT_EQ(s.font.height, 100);
    EXPECT_EQ(s.font.name, "MS PGothic");
}

TEST(AppSettingsTest, NoTranslucencyTurnsTransparentStickyNotesOff) {
    MemSettingsStore store;
    store.writeInt("TAG", "TRANSPARENT", 1);
    EXPECT_EQ(LoadSettings(store, {kScreen.workArea, false}).tag.transparent, 0);
    EXPECT_EQ(LoadSettings(store, kScreen).tag.transparent, 1);
}

TEST(AppSettingsTest, ValuesSurviveSaveAndLoadButFixedOnesReset) {
    MemSettingsStore first;
    AppSettings s = LoadSettings(first, kScreen);
    s.find.windowX = -1;
    s.find.windowY = -1;
    s.floatWindow.left = -1;
    s.window = {-8, -8, 1928, 1048, "MAXIMIZE"};
    s.font.color = 0x00FF00;
    s.etc.todayRange = 0;
    s.file.location = "/srv/diary";
    s.file.history = {"/a", "/b", "", "", ""};
    s.backup.history[4] = "/last";
    s.merge.history[2] = "/kept";
    s.titleColor.color = 0xABCDEF;
    // Fixed: written, but every start begins with the default again.
    s.picture.reduction = 0;
    s.find.text = "walk";
    s.floatWindow.floating = 1;
    s.etc.autoClose = 0;
    SaveSettings(s, first);
    EXPECT_EQ(first.readInt("PICTURE", "REDUCTION"), 0);

    AppSettings back = LoadSettings(first, kScreen);
    EXPECT_EQ(back.picture.reduction, 1);
    EXPECT_EQ(back.find.text, "");
    EXPECT_EQ(back.floatWindow.floating, 0);
    EXPECT_EQ(back.etc.autoClose, 1);
    MemSettingsStore second;
    back.picture.reduction = 0;
    back.find.text = "walk";
    back.floatWindow.floating = 1;
    back.etc.autoClose = 0;
    SaveSettings(back, second);
    EXPECT_EQ(second.values(), first.values());
}

}  // namespace
}  // namespace tl::app
