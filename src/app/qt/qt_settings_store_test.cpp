#include "qt_settings_store.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/app_settings.h"
#include "support/temp_dir.h"

namespace tl::app {
namespace {

TEST(QtSettingsStoreTest, SettingsSurviveTheFileWithNegativeIntsAndTexts) {
    testing::TempDir dir;
    const QString ini = QString::fromStdString((dir / "Tallyleaf.ini").string());
    const LoadEnvironment screen{{0, 0, 1920, 1040}, true};
    AppSettings s;
    {
        QtSettingsStore store(ini);
        s = LoadSettings(store, screen);
        s.find.windowX = -1;
        s.window.left = -8;
        s.font.name = "Noto Sans CJK JP";
        s.file.location = "/home/ana/Tagebuch, privat";
        s.titleColor.color = 0xFFFFFF;
        SaveSettings(s, store);
    }
    QtSettingsStore store(ini);
    EXPECT_TRUE(store.contains("FIND", "WINPOS_X"));
    EXPECT_FALSE(store.contains("ETC", "DEFTITLECOLOR"));
    AppSettings back = LoadSettings(store, screen);
    EXPECT_EQ(back.find.windowX, -1);
    EXPECT_EQ(back.window.left, -8);
    EXPECT_EQ(back.font.name, "Noto Sans CJK JP");
    EXPECT_EQ(back.file.location, "/home/ana/Tagebuch, privat");
    EXPECT_EQ(back.titleColor.color, 0xFFFFFF);
    EXPECT_EQ(store.readInt("VERSION", "MAJOR"), 3);
}

TEST(QtSettingsStoreTest, ValuesThatAreNoIntReadAsMissing) {
    testing::TempDir dir;
    const std::string ini = (dir / "Tallyleaf.ini").string();
    std::ofstream(ini) << "[FONT]\nHEIGHT=tall\nWIDTH=99999999999\nBOLD=700\n";
    QtSettingsStore store(QString::fromStdString(ini));
    EXPECT_EQ(store.readInt("FONT", "HEIGHT"), std::nullopt);
    EXPECT_EQ(store.readInt("FONT", "WIDTH"), std::nullopt);
    EXPECT_EQ(store.readInt("FONT", "BOLD"), 700);
    EXPECT_EQ(store.readText("FONT", "MISSING"), std::nullopt);
}

}  // namespace
}  // namespace tl::app
