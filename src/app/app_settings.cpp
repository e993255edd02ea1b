#include "app_settings.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace tl::app {

namespace {

// Fixed values are written at exit but start every run at their default.
enum class Load { Read, Fixed };

// Every stored value in the order it is written: section, name, field.
template <class S, class V>
void VisitKeys(S& s, V&& v) {
    v("VERSION", "MAJOR", s.version.major);
    v("VERSION", "MINOR", s.version.minor);
    v("WINDOW_POS", "POS_LEFT", s.window.left);
    v("WINDOW_POS", "POS_TOP", s.window.top);
    v("WINDOW_POS", "POS_RIGHT", s.window.right);
    v("WINDOW_POS", "POS_BOTTOM", s.window.bottom);
    v("WINDOW_POS", "WINSTAT", s.window.state);
    v("DAYBAR", "WIDTH", s.dayBar.width);
    v("DAYBAR", "VISIBLE", s.dayBar.visible);
    v("DAYBAR", "EXIST_ONLY", s.dayBar.existOnly);
    v("DAYBAR", "LEFT", s.dayBar.left);
    v("DAYBAR", "CALENDER_DISP", s.dayBar.calendarShown);
    v("TOOLBAR", "VISIBLE", s.toolBar.visible);
    v("EDITBAR", "VISIBLE", s.editBar.visible);
    v("FONT", "NAME", s.font.name);
    v("FONT", "HEIGHT", s.font.height);
    v("FONT", "WIDTH", s.font.width);
    v("FONT", "BOLD", s.font.weight);
    v("FONT", "ITALIC", s.font.italic);
    v("FONT", "UNDERLINE", s.font.underline);
    v("FONT", "STRIKEOUT", s.font.strikeOut);
    v("FONT", "COLOR", s.font.color);
    v("ETC", "TODAYOPEN", s.etc.todayOpen);
    v("ETC", "IMEENABLE", s.etc.imeEnable);
    v("ETC", "TODAYRANGE", s.etc.todayRange);
    v("ETC", "ATTACHSAVEFOLDER", s.etc.attachSaveFolder);
    v("ETC", "ATTACHLOADFOLDER", s.etc.attachLoadFolder);
    v("TAG", "TRANSPARENT", s.tag.transparent);
    v("TAG", "TRANSPARENT_RATE", s.tag.transparentRate);
    v("TAG", "TRANSPARENT_SETALL", s.tag.transparentSetAll);
    v("FIND", "TEXT", s.find.text, Load::Fixed);
    v("FIND", "TEXT2", s.find.text2, Load::Fixed);
    v("FIND", "DIR", s.find.direction);
    v("FIND", "CASE", s.find.matchCase);
    v("FIND", "OVERDAY", s.find.overDay);
    v("FIND", "AND", s.find.andMode);
    v("FIND", "OR", s.find.orMode);
    v("FIND", "AFTER_CLOSE", s.find.afterClose);
    v("FIND", "CONTAIN", s.find.contain);
    v("FIND", "WINPOS_X", s.find.windowX);
    v("FIND", "WINPOS_Y", s.find.windowY);
    v("TAGFONT", "NAME", s.tagFont.name);
    v("TAGFONT", "HEIGHT", s.tagFont.height);
    v("TAGFONT", "WIDTH", s.tagFont.width);
    v("TAGFONT", "BOLD", s.tagFont.weight);
    v("TAGFONT", "ITALIC", s.tagFont.italic);
    v("TAGFONT", "COLOR", s.tagFont.color);
    v("TAGFONT", "BKCOLOR", s.tagFont.backColor);
    v("TAGFONT", "TRANSPARENT_RATE", s.tagFont.transparentRate);
    v("TAGBLINK", "KIND", s.tagBlink.kind);
    v("TAGBLINK", "FROM_ENABLE", s.tagBlink.fromEnable);
    v("TAGBLINK", "FROM_YEAR", s.tagBlink.fromYear);
    v("TAGBLINK", "FROM_MONTH", s.tagBlink.fromMonth);
    v("TAGBLINK", "FROM_DAY", s.tagBlink.fromDay);
    v("TAGBLINK", "TO__ENABLE", s.tagBlink.toEnable);  // two underscores, as stored since long
    v("TAGBLINK", "TO_YEAR", s.tagBlink.toYear);
    v("TAGBLINK", "TO_MONTH", s.tagBlink.toMonth);
    v("TAGBLINK", "TO_DAY", s.tagBlink.toDay);
    v("TITLECOL", "TITLECOLOR32", s.titleColor.color);
    v("TITLECOL", "BACKCOL_SPEC", s.titleColor.backColorSpecified);
    v("TITLECOL", "BACKCOLOR", s.titleColor.backColor);
    v("TITLECOL", "BLINK", s.titleColor.blink);
    v("TITLECOL", "BLINK_INTERVAL", s.titleColor.blinkInterval);
    v("FILE", "LOCATION_DEFAULT", s.file.locationDefault);
    v("FILE", "LOCATION", s.file.location);
    for (std::size_t i = 0; i < s.file.history.size(); ++i)
        v("FILE", "LOCATION_HIST" + std::to_string(i + 1), s.file.history[i]);
    v("BACKUP", "AUTOBACKUP", s.backup.autoBackup);
    v("BACKUP", "LOCATION_DEFAULT", s.backup.locationDefault);
    v("BACKUP", "LOCATION", s.backup.location);
    for (std::size_t i = 0; i < s.backup.history.size(); ++i)
        v("BACKUP", "LOCATION_HIST" + std::to_string(i + 1), s.backup.history[i]);
    v("MERGE", "DAIART_DELETE", s.merge.emptyAfterMerge);
    v("MERGE", "LOCATION", s.merge.location);
    for (std::size_t i = 0; i < s.merge.history.size(); ++i)
        v("MERGE", "LOCATION_HIST" + std::to_string(i + 1), s.merge.history[i]);
    v("EXPORT", "LOCATION", s.exportTo.location);
    v("IMPORT", "LOCATION", s.importFrom.location);
    v("IMPORT", "TEXT_KIND", s.importFrom.textKind);
    v("TAB", "WEEKDAY", s.tab.weekday);
    v("PICTURE", "REDUCTION", s.picture.reduction, Load::Fixed);
    v("ETC", "SEP_BEFORE_LINE", s.etc.sepBeforeLine, Load::Fixed);
    v("ETC", "SEP_AFTER_LINE", s.etc.sepAfterLine, Load::Fixed);
    v("ETC", "FIRST_FOCUS_TITLE", s.etc.firstFocusTitle);
    v("FLOAT", "TRANSPARENT_RATE", s.floatWindow.transparentRate);
    v("FLOAT", "POS_LEFT", s.floatWindow.left);
    v("FLOAT", "POS_TOP", s.floatWindow.top);
    v("FLOAT", "FLOATING", s.floatWindow.floating, Load::Fixed);
    v("ETC", "VIEWMODE", s.etc.viewMode, Load::Fixed);
    v("MAIN_WINDOW", "COLOR_SPECIFY", s.mainWindow.colorSpecify);
    v("MAIN_WINDOW", "TEXT_COLOR", s.mainWindow.textColor);
    v("MAIN_WINDOW", "BACK_COLOR", s.mainWindow.backColor);
    v("EDIT", "SELECTED_COLOR", s.edit.selectedColor);
    v("ETC", "WEATHER_ENABLE", s.etc.weatherEnable);
    v("ETC", "AUTO_CLOSE", s.etc.autoClose, Load::Fixed);
    v("BACKUP", "GENERATIONS", s.backup.generations);
    v("ONTHISDAY", "STARTUP", s.onThisDay.atStartup);
}

class Loader {
public:
    explicit Loader(SettingsStore& store) : m_store(store) {}
    void operator()(const std::string& section, const std::string& name, int& field,
                    Load load = Load::Read) {
        if (load == Load::Read) field = m_store.readInt(section, name).value_or(field);
    }
    void operator()(const std::string& section, const std::string& name, std::string& field,
                    Load load = Load::Read) {
        if (load == Load::Read) field = m_store.readText(section, name).value_or(field);
    }

private:
    SettingsStore& m_store;
};

class Saver {
public:
    explicit Saver(SettingsStore& store) : m_store(store) {}
    void operator()(const std::string& section, const std::string& name, int field,
                    Load = Load::Read) {
        m_store.writeInt(section, name, field);
    }
    void operator()(const std::string& section, const std::string& name, const std::string& field,
                    Load = Load::Read) {
        m_store.writeText(section, name, field);
    }

private:
    SettingsStore& m_store;
};

// A 900 x 600 window in the middle of the work area, clipped to it.
void CentreWindow(AppSettings& s, const WorkArea& w) {
    const int halfWidth = (w.right - w.left) / 2;
    const int halfHeight = (w.bottom - w.top) / 2;
    s.window.left = std::max(w.left, halfWidth - 450);
    s.window.top = std::max(w.top, halfHeight - 300);
    s.window.right = std::min(w.right, halfWidth + 450);
    s.window.bottom = std::min(w.bottom, halfHeight + 300);
}

}  // namespace

std::vector<SettingInfo> DescribeSettings(const AppSettings& settings) {
    std::vector<SettingInfo> out;
    auto describe = [&out](const std::string& section, const std::string& name, const auto& field,
                           Load load = Load::Read) {
        SettingInfo info{section + "/" + name, true, load == Load::Fixed, {}};
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, int>) {
            info.value = std::to_string(field);
        } else {
            info.isInt = false;
            info.value = field;
        }
        out.push_back(std::move(info));
    };
    VisitKeys(settings, describe);
    return out;
}

AppSettings LoadSettings(SettingsStore& store, const LoadEnvironment& env) {
    AppSettings s;
    CentreWindow(s, env.workArea);
    VisitKeys(s, Loader(store));
    const int storedVersion = s.version.major * 100 + s.version.minor;

    // Older versions stored the height in logical units, as a negative value.
    if (s.font.height < 0)
        s.font.height = 10 * static_cast<int>(std::trunc(0.1 - s.font.height * 0.769));
    if (!env.translucentWindows) s.tag.transparent = 0;

    // Before 2.02 the title colour was an index into the standard table.
    if (storedVersion < 202) {
        const int index = store.readInt("ETC", "DEFTITLECOLOR").value_or(0);
        // An index the table does not have takes the table's first colour.
        const bool known = index >= 0 && index < static_cast<int>(kStandardColors.size());
        s.titleColor.color = kStandardColors[known ? static_cast<std::size_t>(index) : 0];
    }
    s.version.major = 3;
    s.version.minor = 1;
    return s;
}

void SaveSettings(const AppSettings& settings, SettingsStore& store) {
    VisitKeys(settings, Saver(store));
    store.flush();
}

}  // namespace tl::app
