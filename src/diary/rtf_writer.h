#pragma once

#include <QByteArray>

class QTextCursor;
class QTextDocument;

namespace tl::diary {

// Writes the document as RTF: what an entry's rich text stores and an .rtf
// export holds. Every paragraph ends with \par, the last one included.
// Text outside ASCII is written as \uN with a code page 932 fallback
// (\ansicpg932); embedded objects are left out.
QByteArray WriteRtf(const QTextDocument& document);

// Writes the cursor's selection only, for the private clipboard format. A
// paragraph mark is written only where the selection spans a paragraph end;
// an empty selection gives a stream without text.
QByteArray WriteRtfSelection(const QTextCursor& cursor);

}  // namespace tl::diary
