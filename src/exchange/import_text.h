#pragma once

// The text files of an exchange folder: decoding and the TITLE and WEATHER
// header lines.

#include <cstdint>
#include <span>
#include <string>

#include "export.h"

namespace tl::exchange {

// The file's text: code page 932 for "Ansi" and "Rich text" (bytes that
// form no character become U+FFFD), UTF-16LE up to the first zero
// character for "UNICODE" (a byte-order mark stays as the first character).
std::u16string DecodeText(std::span<const std::uint8_t> bytes, Encoding encoding);

struct EntryText {
    std::u16string title;
    std::u16string weather;
    std::u16string text;
    bool bothHeaderLines = false;
};
// Line 1 "TITLE:..." gives the title, line 2 "WEATHER:..." (or with a
// full-width colon) the weather; with both, line 3 is dropped and the text
// starts at line 4, otherwise the text is the whole file. A "\r" before
// the "\n" is not part of a value.
EntryText SplitEntryText(std::u16string_view all);

}  // namespace tl::exchange
