#include "editor_texts.h"

#include <cstdio>

#include "entry_name.h"
#include "store/codepage.h"
#include "widgets/month_names.h"

namespace tl::diary {

using widgets::kMonthNames;
using widgets::kWeekdayNames;

std::u16string BorderText(bool shortBorder, bool breakBefore, bool breakAfter) {
    std::u16string text;
    if (breakBefore) text += u'\n';
    text.append(shortBorder ? 15 : 30, u'-');
    text += u'\n';
    if (breakAfter) text += u'\n';
    return text;
}

std::u16string StampText(int year, int month, int day, int hour, int minute) {
    int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s, %s %02d, %04d at %02d:%02d %s",
                  kWeekdayNames[Weekday(year, month, day)], kMonthNames[month - 1], day, year,
                  hour12, minute, hour < 12 ? "AM" : "PM");
    std::u16string out;
    for (const char* p = buf; *p; ++p) out.push_back(static_cast<char16_t>(*p));
    return out;
}

std::optional<std::string> SearchUrl(SearchEngine engine, std::u16string_view text) {
    if (text.size() > kSearchTextMax) return std::nullopt;
    std::string url;
    switch (engine) {
        case SearchEngine::Google:
            url = "https://www.google.com/search?q=";
            break;
        case SearchEngine::Yahoo:
            url = "https://search.yahoo.com/search?p=";
            break;
        case SearchEngine::Bing:
            url = "https://www.bing.com/search?q=";
            break;
    }
    for (unsigned char byte : store::Utf16ToUtf8(text)) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%%%02X", byte);
        url += buf;
    }
    return url;
}

std::u16string ToCrLf(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 16);
    for (char16_t c : text) {
        if (c == u'\n' || c == u'\r' || c == 0x2029 || c == 0x2028) {
            out += u"\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::u16string FromCrLf(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            out += u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace tl::diary
