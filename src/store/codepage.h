#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tl::store {

// The one module that converts between UTF-16 and code pages, through iconv.
// The diary's ANSI code page (the data file's password, ANSI export and
// import, the fallback bytes of the RTF writer) is code page 932; an RTF
// stream may name any code page. A library of its own (tl_codepage) below the
// data file engine, so that the RTF parser uses it without the engine.

// Which bytes count as the code page 932 form of a character.
enum class AnsiFit {
    Exact,      // only bytes that decode back to the character
    LookAlike,  // iconv's best fit too (U+00A5 as the backslash byte): for
                // text that only readers without Unicode show
};

// Keeps one open iconv descriptor per code page it has met, so that text
// converted piece by piece does not reopen them. Not thread-safe; cheap to
// create.
class CodePageConverter {
public:
    CodePageConverter();
    ~CodePageConverter();
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;

    // Appends the text of bytes in the given code page to out. Bytes that do
    // not form a character become U+FFFD; in code page 932 a lead byte takes a
    // non-ASCII trail byte with it into the one U+FFFD, while an ASCII byte
    // after it stays itself. A code page iconv does not know is read as 1252.
    void decode(int codePage, std::string_view bytes, std::u16string& out);

    // UTF-16 to code page 932. Stops at the first character the code page
    // lacks (unpaired surrogates included): nullopt then.
    std::optional<std::string> encodeAnsi(std::u16string_view text, AnsiFit fit = AnsiFit::Exact);

private:
    struct Descriptors;
    std::unique_ptr<Descriptors> m_descriptors;
};

// UTF-16 to code page 932 without look-alikes. Stops at the first character
// the code page lacks: nullopt then.
std::optional<std::string> ToAnsi(std::u16string_view text);

struct LossyAnsi {
    std::string bytes;
    std::size_t replaced = 0;  // characters written as "?"
};
// UTF-16 to code page 932, writing "?" for each character the code page
// lacks (unpaired surrogates included) and counting them.
LossyAnsi ToAnsiLossy(std::u16string_view text);

// Code page 932 to UTF-16, as CodePageConverter::decode reads it.
std::u16string FromAnsi(std::string_view bytes);

// UTF-8 <-> UTF-16 for the command line and tests. Invalid input is replaced
// with U+FFFD; unpaired surrogates become U+FFFD in UTF-8.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace tl::store
