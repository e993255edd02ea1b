// The subcommand on-this-day: one date in every year of the diary.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "app/app_settings.h"
#include "app/clock.h"
#include "app/on_this_day.h"
#include "app/qt/qt_settings_store.h"
#include "cli.h"
#include "store/codepage.h"

namespace tl::cli {

namespace {

using nlohmann::json;
using store::Utf16ToUtf8;

std::string WeekdayText(int weekday) {
    static constexpr std::string_view kDays = "SunMonTueWedThuFriSat";
    return weekday < 0 || weekday > 6 ? std::string() : std::string(kDays.substr(weekday * 3, 3));
}

// The diary's today, with the user's TODAYRANGE.
store::Date DiaryToday() {
    app::QtSettingsStore settingsStore;
    const app::AppSettings settings = app::LoadSettings(settingsStore, {});
    const auto ymd = app::GetDiaryToday(app::SystemClock::instance(), settings.etc.todayRange);
    return {static_cast<std::int16_t>(static_cast<int>(ymd.year())),
            static_cast<std::uint8_t>(static_cast<unsigned>(ymd.month())),
            static_cast<std::uint8_t>(static_cast<unsigned>(ymd.day()))};
}

json RowJson(const app::OnThisDayRow& row) {
    json out{{"date", store::DateText(row.date)},
             {"year", row.date.year},
             {"years_ago", row.yearsAgo},
             {"weekday", row.weekday < 0 ? json(nullptr) : json(WeekdayText(row.weekday))},
             {"day_before_leap_day", row.dayBeforeLeapDay},
             {"title", Utf16ToUtf8(row.title)},
             {"title_color", ColorText(row.colors.text)},
             {"title_background",
              row.colors.backgroundOn ? json(ColorText(row.colors.background)) : json(nullptr)},
             {"blink", row.colors.blink},
             {"weather", Utf16ToUtf8(row.weather)},
             {"has_text", row.hasText},
             {"lines", json::array()},
             {"files", row.files},
             {"pictures", row.pictures},
             {"first_picture", nullptr}};
    for (const std::u16string& line : row.lines) out["lines"].push_back(Utf16ToUtf8(line));
    if (row.firstPictureUnit != 0)
        out["first_picture"] = {{"order", row.firstPictureOrder},
                                {"name", Utf16ToUtf8(row.firstPictureName)}};
    return out;
}

void PrintRow(const app::OnThisDayRow& row) {
    std::string line = store::DateText(row.date);
    if (row.weekday >= 0) line += " " + WeekdayText(row.weekday);
    line += "  " + app::YearsAgoText(row.yearsAgo);
    if (row.dayBeforeLeapDay) line += " (28 February: no 29th that year)";
    if (!row.title.empty()) line += "  " + Utf16ToUtf8(row.title);
    if (!row.weather.empty()) line += "  (" + Utf16ToUtf8(row.weather) + ")";
    if (row.pictures) line += "  [" + std::to_string(row.pictures) + " picture(s)]";
    if (row.files) line += "  [" + std::to_string(row.files) + " file(s)]";
    std::cout << line << '\n';
    for (const std::u16string& text : row.lines) std::cout << "    " << Utf16ToUtf8(text) << '\n';
}

Handler SetupOnThisDay(CLI::App& sub, Context& ctx) {
    auto date = std::make_shared<std::string>();
    sub.add_option("DATE", *date,
                   "YYYY-MM-DD (that day in every year) or YYYY-MM (the month's notes); "
                   "default today");
    return [&ctx, date]() {
        store::Date asked;
        if (date->empty()) {
            asked = DiaryToday();
        } else {
            const std::optional<store::Date> parsed = DateArgument(*date);
            if (!parsed) return kExitUsage;
            if (parsed->month == 0) {
                PrintError("on-this-day takes a day (YYYY-MM-DD) or a month (YYYY-MM), not '" +
                           *date + "'");
                return kExitUsage;
            }
            asked = *parsed;
        }
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, true); rc != kExitOk) return rc;
        const std::vector<app::OnThisDayRow> rows = app::OnThisDayRows(file, asked);
        if (ctx.json) {
            json out = json::array();
            for (const app::OnThisDayRow& row : rows) out.push_back(RowJson(row));
            std::cout << out.dump(2) << '\n';
        } else {
            for (const app::OnThisDayRow& row : rows) PrintRow(row);
        }
        return kExitOk;
    };
}

}  // namespace

void AddOnThisDayCommands(std::vector<Command>& table) {
    table.push_back(
        {"on-this-day", "the same date in every year of the diary, newest first", SetupOnThisDay});
}

}  // namespace tl::cli
