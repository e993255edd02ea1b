#include "rtf/rtf_plain_text.h"

#include "rtf/rtf_parser.h"

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

}  // namespace tl::rtf
