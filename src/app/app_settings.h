#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "settings_store.h"

namespace tl::app {

// Colours are 0x00BBGGRR (red in the low byte).
using Color = int;

// The standard colour table, shared by the title colour migration, the
// header's colour choice and the conversion of old data.
inline constexpr std::array<Color, 16> kStandardColors = {
    0x000000, 0x0000FF, 0xFF0000, 0x00FF00, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x808080,
    0x404040, 0x000080, 0x800000, 0x008000, 0x808000, 0x800080, 0x008080, 0xFFFFFF,
};

// Folders chosen before, newest first; an empty text is an empty slot.
using LocationHistory = std::array<std::string, 5>;

// Every user preference, loaded once at start and written once at exit.
// The member initialisers are the defaults of a first start; the store's
// section and value names are in app_settings.cpp, in the order they are
// written. Flags are 0 or 1. Texts are UTF-8.
struct AppSettings {
    struct {
        int major = 0;
        int minor = 0;
    } version;
    // The main window's restored rectangle; the load derives its default
    // from the work area.
    struct {
        int left = 0, top = 0, right = 0, bottom = 0;
        std::string state = "NORMAL";  // "NORMAL", "MINIMIZE" or "MAXIMIZE"
    } window;
    struct {
        int width = 264;
        int visible = 1;
        int existOnly = 0;
        int left = 1;
        int calendarShown = 1;
    } dayBar;
    struct {
        int visible = 1;
    } toolBar, editBar;
    struct {
        std::string name = "MS PGothic";
        int height = 100;  // tenths of a point
        int width = 0;
        int weight = 400;
        int italic = 0;
        int underline = 0;
        int strikeOut = 0;
        Color color = 0;
    } font;
    struct {
        int todayOpen = 1;
        int imeEnable = 0;
        int todayRange = 6;  // hour before which the previous day is still today
        std::string attachSaveFolder;
        std::string attachLoadFolder;
        int sepBeforeLine = 1;
        int sepAfterLine = 1;
        int firstFocusTitle = 1;
        int viewMode = 1;
        int weatherEnable = 1;
        int autoClose = 1;
    } etc;
    struct {
        int transparent = 1;
        int transparentRate = 40;
        int transparentSetAll = 1;
    } tag;
    struct {
        std::string text;
        std::string text2;
        int direction = 1;
        int matchCase = 0;
        int overDay = 1;
        int andMode = 0;
        int orMode = 0;
        int afterClose = 0;
        int contain = 1;
        int windowX = -1;  // -1: not placed yet
        int windowY = -1;
    } find;
    struct {
        std::string name = "Meiryo";
        int height = 12;
        int width = 0;
        int weight = 400;
        int italic = 0;
        Color color = 0;
        Color backColor = 0x80FFFF;
        int transparentRate = 0;
    } tagFont;
    struct {
        int kind = 0;
        int fromEnable = 0, fromYear = 0, fromMonth = 0, fromDay = 0;
        int toEnable = 0, toYear = 0, toMonth = 0, toDay = 0;
    } tagBlink;
    struct {
        Color color = 0;
        int backColorSpecified = 0;
        Color backColor = 0xFFFFFF;
        int blink = 0;
        int blinkInterval = 500;  // milliseconds
    } titleColor;
    struct {
        int locationDefault = 1;
        std::string location;  // without trailing separator
        LocationHistory history;
    } file;
    struct {
        int autoBackup = 1;
        int locationDefault = 1;
        std::string location;
        LocationHistory history;
        // Dated copies kept beside the backup, one a day; 0 keeps none.
        int generations = 7;
    } backup;
    struct {
        int emptyAfterMerge = 0;
        std::string location;
        LocationHistory history;
    } merge;
    struct {
        std::string location;
    } exportTo;
    struct {
        std::string location;
        int textKind = 0;
    } importFrom;
    struct {
        int weekday = 0;
    } tab;
    struct {
        int reduction = 1;
    } picture;
    struct {
        int transparentRate = 30;
        int left = -1;
        int top = -1;
        int floating = 0;
    } floatWindow;
    struct {
        int colorSpecify = 1;
        Color textColor = 0xBF6000;
        Color backColor = 0xE6FFFF;
    } mainWindow;
    struct {
        Color selectedColor = 0x0000FF;
    } edit;
    struct {
        int atStartup = 0;  // show "On this day" beside today's entry at start
    } onThisDay;
};

// The desktop without task bars, in screen pixels.
struct WorkArea {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// What the load needs to know about the screen and the platform.
struct LoadEnvironment {
    WorkArea workArea;
    bool translucentWindows = true;  // sticky notes can be drawn translucent
};

// Fills a record from the store: missing or mistyped values take their
// defaults, fixed values start at theirs, old layouts are migrated, and the
// version becomes 3.1.
[[nodiscard]] AppSettings LoadSettings(SettingsStore& store, const LoadEnvironment& env);
// Writes every saved value in the order of the table.
void SaveSettings(const AppSettings& settings, SettingsStore& store);

// One stored value of the record, for tools that show or change settings.
struct SettingInfo {
    std::string key;  // "SECTION/NAME"
    bool isInt = true;
    bool fixed = false;  // starts every run at its default
    std::string value;   // an int in decimal
};
// Every stored value in the order of the table.
std::vector<SettingInfo> DescribeSettings(const AppSettings& settings);

}  // namespace tl::app
