#pragma once

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include "rtf/rtf_format.h"

class QFont;

namespace tl::diary {

// The mapping between RTF formats and the editor's Qt formats, one place for
// both directions so that a round trip keeps every property: half-points to
// points, twips to pixels (kTwipsPerPixel).

QTextBlockFormat ToBlockFormat(const rtf::RtfParaFormat& para);
// indentWidth: the document's width of one indent level, in pixels.
rtf::RtfParaFormat ToParaFormat(const QTextBlockFormat& block, qreal indentWidth);

// A face the RTF format leaves empty leaves the family unset, so the text
// shows in the document's default font.
QTextCharFormat ToCharFormat(const rtf::RtfCharFormat& chars);

// A Qt character format as the document shows it: what the format leaves
// unset comes from the document's default font. format.face stays empty; the
// face is held in face.
struct ResolvedCharFormat {
    QString face;
    rtf::RtfCharFormat format;
    bool operator==(const ResolvedCharFormat&) const = default;
};
ResolvedCharFormat ToRtfCharFormat(const QTextCharFormat& chars, const QFont& defaultFont);

}  // namespace tl::diary
