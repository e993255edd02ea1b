#pragma once

// "On this day": one month and day (or one month's note) in every year of
// the diary, as rows newest first. Built from one walk over the data file's
// chain map and the records of the dates found, so that it costs about the
// reading of one entry per year; the window, the command-line tool and the
// benchmark all show these rows.

#include <cstdint>
#include <string>
#include <vector>

#include "store/records.h"

namespace tl::store {
class CDiaryDataFile;
}

namespace tl::app {

// At most this many non-empty lines of an entry's text are shown, each cut
// to kOnThisDayLineMax code units ("\u2026" where cut).
inline constexpr std::size_t kOnThisDayLines = 3;
inline constexpr std::size_t kOnThisDayLineMax = 160;

struct OnThisDayRow {
    store::Date date;  // the date shown; 28 February for a 29th in a common year
    int yearsAgo = 0;  // from the asked date's year; negative for later years
    int weekday = -1;  // 0 Sunday .. 6 Saturday; -1 for a month note
    // A 29 February was asked and this common year shows its 28th.
    bool dayBeforeLeapDay = false;
    bool hasText = false;
    std::u16string title;
    store::TitleColors colors;
    std::u16string weather;
    std::vector<std::u16string> lines;  // the first non-empty lines of the text
    int files = 0;                      // attachments that are not pictures
    int pictures = 0;
    // The picture with the lowest attachment order, the one the strip shows
    // first: its record's unit (0 when none), order and name.
    std::uint64_t firstPictureUnit = 0;
    std::uint32_t firstPictureOrder = 0;
    std::u16string firstPictureName;
};

// The rows of every year that has content (a text or an attachment) on the
// month and day of asked, newest year first; asked.day 0 gives the month's
// notes. The year of asked counts the years ago and its own row is among
// the rows when it has content. A year note (month 0) has no rows.
std::vector<OnThisDayRow> OnThisDayRows(store::CDiaryDataFile& file, store::Date asked);

// The first non-empty lines of a text, trimmed, each cut to maxLength.
std::vector<std::u16string> FirstLines(std::u16string_view text, std::size_t count,
                                       std::size_t maxLength);

// "this year", "1 year ago", "5 years ago", "in 2 years".
std::string YearsAgoText(int yearsAgo);

}  // namespace tl::app
