#pragma once

#include <string>
#include <string_view>

namespace tl::rtf {

// The text of an RTF stream without its formatting, for code that has no
// editor document (import). Paragraphs and line breaks become "\r\n", as in
// the editor's window text; a paragraph mark at the very end adds nothing.
// Bytes that are not RTF give an empty text.
std::u16string RtfToPlainText(std::string_view rtf);

}  // namespace tl::rtf
