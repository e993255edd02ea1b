#include "rtf/code_page_converter.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <set>
#include <string>

namespace tl::rtf {

namespace {

constexpr int kFallbackCodePage = 1252;
const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);

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

void AppendUtf16Le(const char* bytes, std::size_t size, std::u16string& out) {
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
}

}  // namespace

CodePageConverter::~CodePageConverter() {
    // Unknown code pages share the fallback's handle: close each one once.
    std::set<Handle> handles;
    for (const auto& [codePage, handle] : m_decoders) handles.insert(handle);
    if (m_encoder932 != nullptr) handles.insert(m_encoder932);
    for (Handle handle : handles) iconv_close(static_cast<iconv_t>(handle));
}

CodePageConverter::Handle CodePageConverter::decoder(int codePage) {
    if (auto it = m_decoders.find(codePage); it != m_decoders.end()) return it->second;
    iconv_t handle = iconv_open("UTF-16LE", IconvName(codePage).c_str());
    if (handle == kInvalid && codePage == kFallbackCodePage) {
        handle = iconv_open("UTF-16LE", "ISO-8859-1");
    }
    Handle result = handle == kInvalid ? decoder(kFallbackCodePage) : static_cast<Handle>(handle);
    m_decoders.emplace(codePage, result);
    return result;
}

void CodePageConverter::decode(int codePage, std::string_view bytes, std::u16string& out) {
    // Every code page the diary meets agrees with ASCII below 0x80.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out.append(bytes.begin(), bytes.end());
        return;
    }
    auto handle = static_cast<iconv_t>(decoder(codePage));
    if (handle == kInvalid) {
        for (char c : bytes) out.push_back(static_cast<unsigned char>(c));
        return;
    }
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t result = iconv(handle, &in, &inLeft, &outPtr, &outLeft);
        AppendUtf16Le(buffer, static_cast<std::size_t>(outPtr - buffer), out);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An invalid or incomplete sequence: replace one byte, go on.
            out.push_back(u'\uFFFD');
            ++in;
            --inLeft;
            iconv(handle, nullptr, nullptr, nullptr, nullptr);
        }
    }
}

std::string CodePageConverter::encode932(char16_t unit) {
    if (unit < 0x80) return std::string(1, static_cast<char>(unit));
    if (unit >= 0xD800 && unit <= 0xDFFF) return {};
    if (!m_encoderTried) {
        m_encoderTried = true;
        iconv_t handle = iconv_open("CP932", "UTF-16LE");
        if (handle != kInvalid) m_encoder932 = static_cast<Handle>(handle);
    }
    if (m_encoder932 == nullptr) return {};
    auto handle = static_cast<iconv_t>(m_encoder932);
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    char input[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char output[8];
    char* in = input;
    std::size_t inLeft = sizeof input;
    char* outPtr = output;
    std::size_t outLeft = sizeof output;
    if (iconv(handle, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return {};
    return std::string(output, static_cast<std::size_t>(outPtr - output));
}

int CodePageOfCharset(int charset) {
    switch (charset) {
        case 2:
            return 1252;  // symbol fonts: their glyph codes, read as 1252
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            return 0;
    }
}

}  // namespace tl::rtf
