// Feeds arbitrary bytes to the RTF parser without Qt: parsing and the plain
// text routine must return for every input, and every view the parser hands
// out must be readable while the call lasts.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "rtf/rtf_parser.h"
#include "rtf/rtf_plain_text.h"

namespace {

// Reads every character of what it is given, so that AddressSanitizer sees a
// view into freed or moved memory, and checks what the parser promises.
class TouchingSink final : public tl::rtf::RtfSink {
public:
    void text(std::u16string_view text, const tl::rtf::RtfCharFormat& format) override {
        if (text.empty()) std::abort();  // runs are never empty
        touch(text);
        touch(format.face);
        checkSize(format);
    }
    void paragraphMark(const tl::rtf::RtfParaFormat& para,
                       const tl::rtf::RtfCharFormat& mark) override {
        touch(mark.face);
        checkSize(mark);
        checkPara(para);
    }
    void end(const tl::rtf::RtfParaFormat& para) override {
        if (++m_ends != 1) std::abort();
        checkPara(para);
    }

    unsigned sum() const { return m_sum; }

private:
    void touch(std::u16string_view text) {
        for (char16_t c : text) m_sum += c;
    }
    static void checkSize(const tl::rtf::RtfCharFormat& format) {
        if (format.halfPoints < tl::rtf::kMinHalfPoints ||
            format.halfPoints > tl::rtf::kMaxHalfPoints)
            std::abort();
    }

    static void checkPara(const tl::rtf::RtfParaFormat& para) {
        using tl::rtf::kMaxTwips;
        for (int twips : {para.leftIndent, para.rightIndent, para.firstIndent})
            if (twips < -kMaxTwips || twips > kMaxTwips) std::abort();
        for (int twips : {para.spaceBefore, para.spaceAfter})
            if (twips < 0 || twips > kMaxTwips) std::abort();
    }

    unsigned m_sum = 0;
    int m_ends = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)tl::rtf::RtfToPlainText(bytes);
    TouchingSink sink;
    tl::rtf::ParseRtf(bytes, sink);
    return 0;
}
