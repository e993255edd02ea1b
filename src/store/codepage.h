#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tl::store {

// The ANSI code page of the data file's password and of ANSI export and
// import: code page 932, through iconv. The one module that converts to and
// from it.

// UTF-16 to code page 932. Stops at the first character the code page lacks
// (no best-fit mapping): nullopt then.
std::optional<std::string> ToAnsi(std::u16string_view text);

struct LossyAnsi {
    std::string bytes;
    std::size_t replaced = 0;  // characters written as "?"
};
// UTF-16 to code page 932, writing "?" for each character the code page
// lacks (unpaired surrogates included) and counting them.
LossyAnsi ToAnsiLossy(std::u16string_view text);

// Code page 932 to UTF-16. Bytes that do not form a character become U+FFFD.
std::u16string FromAnsi(std::string_view bytes);

// UTF-8 <-> UTF-16 for the command line and tests. Invalid input is replaced
// with U+FFFD; unpaired surrogates become U+FFFD in UTF-8.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace tl::store
