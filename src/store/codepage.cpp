#include "store/codepage.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <utility>

namespace tl::store {
namespace {

constexpr const char kAnsiName[] = "CP932";
// char16_t buffers are handed to iconv in the machine's own byte order.
constexpr const char* kUtf16Name =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Lead bytes of the two-byte characters of code page 932.
bool IsAnsiLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// What to do where iconv cannot go on: skip `skip` input bytes and append
// `replacement` to the output, or stop the conversion (skip == 0).
struct Recovery {
    std::size_t skip = 0;
    std::string replacement;
};
// Called with the remaining input and whether it is merely incomplete (the
// input ends inside a character).
using OnError = std::function<Recovery(const char* rest, std::size_t restLength, bool incomplete)>;

// One iconv conversion descriptor, closed with the object.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in into out, asking onError at every place iconv
    // refuses. False when onError stopped the conversion or iconv is missing.
    bool Run(const char* in, std::size_t length, std::string& out, const OnError& onError) {
        if (!ok()) {
            return false;
        }
        char* src = const_cast<char*>(in);  // iconv's signature; it never writes the input
        std::size_t srcLeft = length;
        bool flushing = false;  // all input taken; writing out any shift state
        char buf[1024];
        for (;;) {
            char* dst = buf;
            std::size_t dstLeft = sizeof buf;
            const std::size_t rc = flushing ? iconv(m_cd, nullptr, nullptr, &dst, &dstLeft)
                                            : iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            const int err = errno;
            out.append(buf, static_cast<std::size_t>(dst - buf));
            if (rc != static_cast<std::size_t>(-1)) {
                if (flushing) {
                    return true;
                }
                flushing = srcLeft == 0;
                continue;
            }
            if (err == E2BIG) {
                continue;
            }
            if (flushing) {
                return false;
            }
            // EILSEQ, or EINVAL for a character cut off at the end.
            Recovery r = onError(src, srcLeft, err == EINVAL);
            if (r.skip == 0 || r.skip > srcLeft) {
                return false;
            }
            out += r.replacement;
            src += r.skip;
            srcLeft -= r.skip;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
        }
    }

private:
    iconv_t m_cd;
};

std::u16string BytesToUtf16(const std::string& bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
        if constexpr (std::endian::native != std::endian::little) {
            text[i] = static_cast<char16_t>(text[i] << 8 | text[i] >> 8);
        }
    }
    return text;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 | (c >> 10));
        out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    }
}

// UTF-16 to code page 932 without best-fit mappings: iconv maps a few
// characters the code page lacks onto look-alikes (U+00A5 onto the backslash
// byte, U+2212 onto the full-width minus); a character counts as converted
// only when its bytes decode back to it.
class AnsiEncoder {
public:
    AnsiEncoder() : m_to(kAnsiName, kUtf16Name), m_back(kUtf16Name, kAnsiName) {}

    std::optional<std::string> Encode(std::u16string_view text) {
        std::string bytes;
        if (!m_to.Run(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t),
                      bytes, Stop)) {
            return std::nullopt;
        }
        std::string back;
        if (!m_back.Run(bytes.data(), bytes.size(), back, Stop) || BytesToUtf16(back) != text) {
            return std::nullopt;
        }
        return bytes;
    }

private:
    static Recovery Stop(const char*, std::size_t, bool) { return Recovery{}; }
    Converter m_to;
    Converter m_back;
};

}  // namespace

std::optional<std::string> ToAnsi(std::u16string_view text) {
    return AnsiEncoder().Encode(text);
}

LossyAnsi ToAnsiLossy(std::u16string_view text) {
    AnsiEncoder encoder;
    if (auto whole = encoder.Encode(text)) {
        return LossyAnsi{std::move(*whole), 0};
    }
    // Character by character, one "?" for each the code page lacks: a
    // surrogate pair is one character, an unpaired surrogate another.
    LossyAnsi result;
    for (std::size_t i = 0; i < text.size();) {
        const bool pair =
            IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
        const std::size_t units = pair ? 2 : 1;
        if (auto bytes = encoder.Encode(text.substr(i, units))) {
            result.bytes += *bytes;
        } else {
            result.bytes += '?';
            ++result.replaced;
        }
        i += units;
    }
    return result;
}

std::u16string FromAnsi(std::string_view bytes) {
    Converter cd(kUtf16Name, kAnsiName);
    std::string out;
    // U+FFFD in the output's byte order.
    std::string replacement(2, '\0');
    const char16_t r = kReplacement;
    replacement[0] = reinterpret_cast<const char*>(&r)[0];
    replacement[1] = reinterpret_cast<const char*>(&r)[1];
    const bool done = cd.Run(bytes.data(), bytes.size(), out,
                             [&](const char* rest, std::size_t restLength, bool) {
                                 // A lead byte takes a non-ASCII trail byte with it into the
                                 // one U+FFFD; an ASCII byte after it stays itself.
                                 const auto lead = static_cast<unsigned char>(rest[0]);
                                 const bool pair = IsAnsiLeadByte(lead) && restLength > 1 &&
                                                   static_cast<unsigned char>(rest[1]) >= 0x80;
                                 return Recovery{pair ? 2u : 1u, replacement};
                             });
    if (!done) {
        return std::u16string(bytes.size(), kReplacement);
    }
    return BytesToUtf16(out);
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i++]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            continue;
        }
        // Each invalid or cut-off sequence (its longest valid prefix) becomes
        // one U+FFFD; the byte that broke it starts afresh.
        int need;
        char32_t c;
        unsigned char lower = 0x80;
        unsigned char upper = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            c = b & 0x0F;
            if (b == 0xE0) lower = 0xA0;  // no overlong forms
            if (b == 0xED) upper = 0x9F;  // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            c = b & 0x07;
            if (b == 0xF0) lower = 0x90;
            if (b == 0xF4) upper = 0x8F;  // nothing past U+10FFFF
        } else {
            out += kReplacement;
            continue;
        }
        bool valid = true;
        for (int k = 0; k < need; ++k) {
            if (i >= utf8.size()) {
                valid = false;
                break;
            }
            const auto t = static_cast<unsigned char>(utf8[i]);
            if (t < lower || t > upper) {
                valid = false;
                break;
            }
            lower = 0x80;
            upper = 0xBF;
            c = (c << 6) | (t & 0x3F);
            ++i;
        }
        if (valid) {
            AppendUtf16(out, c);
        } else {
            out += kReplacement;
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (IsHighSurrogate(c) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace tl::store
