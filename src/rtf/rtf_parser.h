#pragma once

#include <string_view>

#include "rtf/rtf_format.h"

namespace tl::rtf {

// Receives the content of an RTF stream in order. Text arrives in runs of one
// format; a line break is U+2028 and a tab U+0009 inside the text.
class RtfSink {
public:
    virtual ~RtfSink() = default;

    virtual void text(std::u16string_view text, const RtfCharFormat& format) = 0;

    // A paragraph mark (\par, \sect, \page, \row): the open paragraph ends
    // with these properties; the mark itself carries the character format.
    virtual void paragraphMark(const RtfParaFormat& para, const RtfCharFormat& mark) = 0;

    // The end of the stream; the paragraph still open has these properties.
    // It is empty when the stream ended right after a paragraph mark.
    virtual void end(const RtfParaFormat& para) = 0;
};

// True when the bytes start, after white space, with "{\rtf".
bool IsRtf(std::string_view bytes);

// Reads RTF as this program, the platform's rich edit control, word
// processors and other RTF writers produce it, and hands the content to the
// sink. Anything the diary does not keep (pictures, objects, headers, style
// sheets, document information, unknown destinations and control words) is
// left out. Reading stops at the brace that closes the "{\rtf" group.
//
// Any bytes are safe: truncated or unbalanced input ends the stream where it
// stops, parameters are clamped, nesting is tracked without recursion and
// without a stack deeper than a fixed limit, and memory stays proportional to
// the input. The caller checks IsRtf first when it wants to refuse other data.
void ParseRtf(std::string_view bytes, RtfSink& sink);

}  // namespace tl::rtf
