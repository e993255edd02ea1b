#pragma once

// Texts the editor inserts or builds: borders, the date-and-time stamp and
// the addresses of the web search. Paragraph breaks are "\n".

#include <optional>
#include <string>
#include <string_view>

namespace tl::diary {

std::u16string BorderText(bool shortBorder, bool breakBefore, bool breakAfter);

// "Sunday, March 01, 2026 at 01:07 PM": hour 0-23 on the 12-hour clock, so
// five past noon is 12:05 PM and five past midnight 12:05 AM.
std::u16string StampText(int year, int month, int day, int hour, int minute);

enum class SearchEngine { Google, Yahoo, Bing };
inline constexpr std::size_t kSearchTextMax = 100;  // UTF-16 code units
// The search address with every UTF-8 byte of the text percent-encoded;
// nullopt when the text is longer than kSearchTextMax.
std::optional<std::string> SearchUrl(SearchEngine engine, std::u16string_view text);

// Plain text leaving the editor: every paragraph break becomes "\r\n".
std::u16string ToCrLf(std::u16string_view text);
// Stored plain text entering the editor: "\r\n" and lone "\r" become "\n".
std::u16string FromCrLf(std::u16string_view text);

}  // namespace tl::diary
