#pragma once

#include <string>
#include <string_view>

namespace tl::rtf {

// The text of an RTF stream without its formatting, for code that has no
// editor document (import). Paragraphs and line breaks become "\r\n", as in
// the editor's window text; a paragraph mark at the very end adds nothing.
// Bytes that are not RTF give an empty text.
std::u16string RtfToPlainText(std::string_view rtf);

// A plain text as an RTF stream in the writer's code page: "\r\n" and "\n"
// end paragraphs, tabs stay tabs, other characters travel as \u with a
// code page 932 fallback.
std::string PlainTextToRtf(std::u16string_view text);

}  // namespace tl::rtf
