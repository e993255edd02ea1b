#pragma once

// Values of the typed records, as the engine hands them to its callers.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tl::store {

// A date of the diary: a day (month 1-12, day 1-31), a month note (day 0)
// or a year note (month 0, day 0).
struct Date {
    std::int16_t year = 0;
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    friend bool operator==(const Date&, const Date&) = default;
};

// Days of the month in the Gregorian calendar; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);
// "YYYY" for a year note, "YYYY-MM" for a month note, "YYYY-MM-DD" for a day.
std::string DateText(Date date);
// 0 Sunday .. 6 Saturday, proleptic Gregorian.
int Weekday(int year, int month, int day);

// Colours are 0x00BBGGRR. Blink: 0 none, 1 the text blinks, 2 text and
// background blink.
struct TitleColors {
    std::uint32_t text = 0;
    std::uint32_t backgroundOn = 0;
    std::uint32_t background = 0;
    std::uint32_t blink = 0;
    friend bool operator==(const TitleColors&, const TitleColors&) = default;
};

// The entry header record (kind 1).
struct EntryHeader {
    std::u16string title;    // at most 64 code units stored
    std::u16string weather;  // at most 10 code units stored
    TitleColors colors;
};

inline constexpr std::size_t kTitleMax = 64;
inline constexpr std::size_t kWeatherMax = 10;
inline constexpr std::size_t kWeatherChoices = 20;
using WeatherList = std::array<std::u16string, kWeatherChoices>;

// One attachment record (kind 4) without its data.
struct AttachmentInfo {
    std::uint64_t unit = 0;
    std::uint32_t units = 0;
    Date date;
    std::uint32_t order = 0;
    std::u16string name;  // at most 256 code units, no folder
    std::uint64_t originalSize = 0;
    std::int64_t creationTime = 0;  // seconds since 1970-01-01 UTC
    std::int64_t writeTime = 0;
    std::int64_t accessTime = 0;
    std::uint8_t attributes = 0;  // read-only 0x01, hidden 0x02, system 0x04, archive 0x20
    bool compressed = false;
    std::uint64_t storedSize = 0;  // 0 when not compressed
};

inline constexpr std::uint64_t kAttachmentLimit = 10'000'000;  // files must be smaller
inline constexpr std::size_t kAttachmentNameMax = 256;

// One sticky note record (kind 3).
struct StickyNote {
    Date date;
    std::u16string faceName;  // at most 16 code units stored
    std::int32_t fontWidth = 0;
    std::int32_t fontHeight = 0;
    std::int32_t fontWeight = 400;
    bool italic = false;
    std::uint32_t textColor = 0;
    std::uint32_t backColor = 0;
    std::int32_t top = 0;   // pixels from the top of the docking area
    std::uint8_t side = 0;  // 0 left edge, 1 right edge
    std::uint8_t transparency = 0;
    std::uint8_t blink = 0;
    bool startSet = false;
    Date start;
    bool endSet = false;
    Date end;
    std::u16string text;  // at most 64 code units stored
};

inline constexpr std::size_t kStickyTextMax = 64;
inline constexpr std::size_t kStickyFaceMax = 16;
inline constexpr std::size_t kStickySlots = 100;

// The search settings the text-match walk reads.
struct SearchSettings {
    std::u16string text1;
    std::u16string text2;
    bool andMode = false;
    bool orMode = false;
    bool include = true;  // AND mode: 1 "include", 0 "not include"
};

// One matching date of a search, as the hit list shows it.
struct FindHit {
    Date date;
    std::uint64_t unit = 0;  // the record the step across days picks on the date
    std::uint8_t kind = 0;   // of that record: title (1), text (2) or attachment (4)
    std::u16string title;    // the date's title; empty when it has none
    // The title, the attachment's name, or the line of the text holding the
    // match, cut around it when long ("\u2026" where it is cut).
    std::u16string line;
    // The marked words' occurrences in line: first code unit and length.
    std::vector<std::pair<std::size_t, std::size_t>> marks;
    // For a text: where the match shown begins in the text (line breaks as
    // one "\n"), and its length.
    std::size_t textPosition = 0;
    std::size_t textLength = 0;
};

// A walk through every matching date, in steps (see FindMatches).
struct MatchScan {
    Date from;  // the dates after it, or before it going backward
    bool forward = true;
    bool matchCase = false;
    // Kept by the scan between steps.
    bool started = false;
    std::string lastKey;  // the key of the last date examined
    bool finished = false;
};

}  // namespace tl::store
