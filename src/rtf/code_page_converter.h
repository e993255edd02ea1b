#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tl::rtf {

// Converts between UTF-16 and the code pages an RTF stream names (\ansicpg,
// \fcharset, \cpg), through iconv. Unlike the diary's one ANSI code page,
// a stream may switch code pages from font to font, so this keeps one open
// converter per code page it has met. Not thread-safe; cheap to create.
class CodePageConverter {
public:
    CodePageConverter() = default;
    ~CodePageConverter();
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;

    // Appends the text of bytes in the given code page to out. Bytes that do
    // not form a character become U+FFFD. A code page iconv does not know is
    // read as 1252.
    void decode(int codePage, std::string_view bytes, std::u16string& out);

    // The code page 932 bytes of one UTF-16 code unit, or an empty string
    // when the code page has no such character (surrogates included).
    std::string encode932(char16_t unit);

private:
    using Handle = void*;  // iconv_t
    Handle decoder(int codePage);

    std::map<int, Handle> m_decoders;
    Handle m_encoder932 = nullptr;
    bool m_encoderTried = false;
};

// The code page of an RTF \fcharset value, or 0 when the charset means "the
// document's ANSI code page" (0 ANSI, 1 default) or is unknown.
int CodePageOfCharset(int charset);

}  // namespace tl::rtf
