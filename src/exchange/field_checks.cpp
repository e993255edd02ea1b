#include "field_checks.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "date_names.h"

namespace tl::exchange {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A field's number; nullopt for an empty field. Text that is not a number
// reads as -1, which every range check refuses.
std::optional<int> FieldValue(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || v > 100000) return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// The three placeholders stand for what an empty part of the date covers:
// everything, the whole year, the whole month.
RangeKeyCheck RangeKey(std::string_view yearText, std::string_view monthText,
                       std::string_view dayText, const char* all, const char* wholeYear,
                       const char* wholeMonth) {
    RangeKeyCheck r;
    const auto year = FieldValue(yearText);
    const auto month = FieldValue(monthText);
    const auto day = FieldValue(dayText);
    char buf[40];
    if (!year && !month && !day) {
        r.key = all;
        return r;
    }
    if (!year) return {{}, res::Msg::EnterYear, RangeField::Year};
    if (*year < 1900 || *year > 9999) return {{}, res::Msg::Specify1900OrLater, RangeField::Year};
    if (!month && !day) {
        std::snprintf(buf, sizeof buf, wholeYear, *year);
        r.key = buf;
        return r;
    }
    if (!month) return {{}, res::Msg::EnterMonth, RangeField::Month};
    if (*month < 1 || *month > 12) return {{}, res::Msg::MonthIncorrect, RangeField::Month};
    if (!day) {
        std::snprintf(buf, sizeof buf, wholeMonth, *year, *month);
        r.key = buf;
        return r;
    }
    if (*day < 1 || *day > DaysInMonth(*year, *month))
        return {{}, res::Msg::DayIncorrect, RangeField::Day};
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", *year, *month, *day);
    r.key = buf;
    return r;
}

}  // namespace

FolderCheck CheckFolder(std::string_view typed) {
    FolderCheck c;
    std::string_view t = Trim(typed);
    if (t.empty()) {
        c.error = res::Msg::SpecifyFolderName;
        return c;
    }
    // The root folder keeps its one separator.
    while (t.size() > 1 && (t.back() == '/' || t.back() == '\\')) t.remove_suffix(1);
    c.folder = std::string(t);
    std::error_code ec;
    if (!std::filesystem::is_directory(c.folder, ec)) c.error = res::Msg::FolderNameIncorrect;
    return c;
}

RangeKeyCheck FromKey(std::string_view year, std::string_view month, std::string_view day) {
    return RangeKey(year, month, day, "00000000", "%04d0000", "%04d%02d00");
}

RangeKeyCheck ToKey(std::string_view year, std::string_view month, std::string_view day) {
    return RangeKey(year, month, day, "99999999", "%04d9999", "%04d%02d99");
}

RangeCheck CheckRange(const DateFields& from, const DateFields& to) {
    RangeCheck r;
    RangeKeyCheck f = FromKey(from.year, from.month, from.day);
    if (f.error) {
        r.error = f.error;
        r.field = f.field;
        return r;
    }
    RangeKeyCheck t = ToKey(to.year, to.month, to.day);
    if (t.error) {
        r.error = t.error;
        r.errorInEnd = true;
        r.field = t.field;
        return r;
    }
    r.fromKey = f.key;
    r.toKey = t.key;
    if (r.fromKey > r.toKey) r.error = res::Msg::StartAfterEnd;
    return r;
}

void RememberFolder(FolderHistory& history, const std::string& folder) {
    auto at = std::find(history.begin(), history.end(), folder);
    if (at == history.end()) at = history.end() - 1;
    std::move_backward(history.begin(), at, at + 1);
    history.front() = folder;
}

}  // namespace tl::exchange
