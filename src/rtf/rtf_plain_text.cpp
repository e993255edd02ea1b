#include "rtf/rtf_plain_text.h"

#include "rtf/rtf_format.h"
#include "rtf/rtf_parser.h"
#include "store/codepage.h"

namespace tl::rtf {

namespace {

class PlainTextSink final : public RtfSink {
public:
    void text(std::u16string_view text, const RtfCharFormat&) override {
        breakPending();
        for (char16_t c : text) {
            if (c == u'\u2028') {
                m_text += u"\r\n";
            } else {
                m_text.push_back(c);
            }
        }
    }
    void paragraphMark(const RtfParaFormat&, const RtfCharFormat&) override {
        breakPending();
        m_pendingBreak = true;
    }
    void end(const RtfParaFormat&) override {}

    std::u16string take() { return std::move(m_text); }

private:
    // A mark ends its paragraph; the break appears only when more follows.
    void breakPending() {
        if (m_pendingBreak) m_text += u"\r\n";
        m_pendingBreak = false;
    }

    std::u16string m_text;
    bool m_pendingBreak = false;
};

}  // namespace

std::u16string RtfToPlainText(std::string_view rtf) {
    if (!IsRtf(rtf)) return {};
    PlainTextSink sink;
    ParseRtf(rtf, sink);
    return sink.take();
}

std::string PlainTextToRtf(std::u16string_view text) {
    std::string out = "{\\rtf1\\ansi\\ansicpg" + std::to_string(kWriterCodePage) +
                      "\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset" +
                      std::to_string(kWriterCharset) + " ;}}\n\\pard ";
    store::CodePageConverter converter;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
        switch (c) {
            case u'\r':
            case u'\n':
                out += "\\par\n";
                continue;
            case u'\t':
                out += "\\tab ";
                continue;
            case u'\\':
            case u'{':
            case u'}':
                out += '\\';
                out += static_cast<char>(c);
                continue;
            default:
                break;
        }
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
            continue;
        }
        if (c < 0x80) continue;  // control characters carry nothing
        const std::string fallback =
            converter.encodeAnsi(std::u16string_view(&c, 1), store::AnsiFit::LookAlike)
                .value_or("?");
        out += "\\uc" + std::to_string(fallback.size()) + "\\u" +
               std::to_string(c > 0x7FFF ? c - 0x10000 : c);
        for (unsigned char byte : fallback) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\'";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    out += "\\par}";
    return out;
}

}  // namespace tl::rtf
