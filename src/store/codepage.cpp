#include "store/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace tl::store {
namespace {

constexpr int kAnsiCodePage = 932;
constexpr const char kAnsiName[] = "CP932";
// What a code page iconv does not know is read as.
constexpr int kFallbackCodePage = 1252;
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

std::string IconvName(int codePage) {
    switch (codePage) {
        case 10000:
            return "MACINTOSH";
        case 65001:
            return "UTF-8";
        default:
            return "CP" + std::to_string(codePage);
    }
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

Recovery Stop(const char*, std::size_t, bool) {
    return Recovery{};
}

// One iconv conversion descriptor, closed with the object.
class Descriptor {
public:
    Descriptor(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Descriptor() {
        if (ok()) iconv_close(m_cd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in into out, asking onError at every place iconv
    // refuses. False when onError stopped the conversion or iconv is missing.
    bool run(const char* in, std::size_t length, std::string& out, const OnError& onError) {
        if (!ok()) {
            return false;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // the initial shift state
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

void AppendUtf16Bytes(const std::string& bytes, std::u16string& out) {
    out.reserve(out.size() + bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          static_cast<unsigned char>(bytes[i + 1]) << 8);
        if constexpr (std::endian::native != std::endian::little) {
            unit = static_cast<char16_t>(unit << 8 | unit >> 8);
        }
        out.push_back(unit);
    }
}

// U+FFFD in the byte order iconv writes.
std::string ReplacementBytes() {
    const char16_t r = kReplacement;
    return std::string(reinterpret_cast<const char*>(&r), sizeof r);
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

}  // namespace

struct CodePageConverter::Descriptors {
    // Code pages iconv does not know share the fallback's descriptor; null
    // when not even the fallback opens.
    std::map<int, std::shared_ptr<Descriptor>> decoders;
    std::unique_ptr<Descriptor> toAnsi;

    Descriptor* decoder(int codePage) {
        if (auto it = decoders.find(codePage); it != decoders.end()) return it->second.get();
        auto d = std::make_shared<Descriptor>(kUtf16Name, IconvName(codePage).c_str());
        if (!d->ok() && codePage == kFallbackCodePage) {
            d = std::make_shared<Descriptor>(kUtf16Name, "ISO-8859-1");
            if (!d->ok()) d = nullptr;
        } else if (!d->ok()) {
            decoder(kFallbackCodePage);
            d = decoders.at(kFallbackCodePage);
        }
        return decoders.emplace(codePage, std::move(d)).first->second.get();
    }
};

CodePageConverter::CodePageConverter() : m_descriptors(std::make_unique<Descriptors>()) {}

CodePageConverter::~CodePageConverter() = default;

void CodePageConverter::decode(int codePage, std::string_view bytes, std::u16string& out) {
    // Every code page the diary meets agrees with ASCII below 0x80.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out.append(bytes.begin(), bytes.end());
        return;
    }
    // In code page 932 a lead byte takes a non-ASCII trail byte with it into
    // the one U+FFFD; elsewhere each bad byte is one.
    const bool ansi = codePage == kAnsiCodePage;
    const std::string replacement = ReplacementBytes();
    const OnError replace = [&](const char* rest, std::size_t restLength, bool) {
        const bool pair = ansi && IsAnsiLeadByte(static_cast<unsigned char>(rest[0])) &&
                          restLength > 1 && static_cast<unsigned char>(rest[1]) >= 0x80;
        return Recovery{pair ? 2u : 1u, replacement};
    };
    std::string utf16;
    Descriptor* d = m_descriptors->decoder(codePage);
    if (d == nullptr || !d->run(bytes.data(), bytes.size(), utf16, replace)) {
        // No converter at all: the bytes as Latin-1, the least surprising guess.
        for (char c : bytes) out.push_back(static_cast<unsigned char>(c));
        return;
    }
    AppendUtf16Bytes(utf16, out);
}

// iconv maps a few characters the code page lacks onto look-alikes (U+00A5
// onto the backslash byte, U+2212 onto the full-width minus); an exact
// conversion holds only where the bytes decode back to the text.
std::optional<std::string> CodePageConverter::encodeAnsi(std::u16string_view text, AnsiFit fit) {
    auto& d = m_descriptors->toAnsi;
    if (d == nullptr) d = std::make_unique<Descriptor>(kAnsiName, kUtf16Name);
    std::string bytes;
    if (!d->run(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t), bytes,
                Stop)) {
        return std::nullopt;
    }
    if (fit == AnsiFit::Exact) {
        std::u16string back;
        decode(kAnsiCodePage, bytes, back);
        if (back != text) return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> ToAnsi(std::u16string_view text) {
    return CodePageConverter().encodeAnsi(text);
}

LossyAnsi ToAnsiLossy(std::u16string_view text) {
    CodePageConverter converter;
    if (auto whole = converter.encodeAnsi(text)) {
        return LossyAnsi{std::move(*whole), 0};
    }
    // Character by character, one "?" for each the code page lacks: a
    // surrogate pair is one character, an unpaired surrogate another.
    LossyAnsi result;
    for (std::size_t i = 0; i < text.size();) {
        const bool pair =
            IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
        const std::size_t units = pair ? 2 : 1;
        if (auto bytes = converter.encodeAnsi(text.substr(i, units))) {
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
    std::u16string out;
    CodePageConverter().decode(kAnsiCodePage, bytes, out);
    return out;
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
