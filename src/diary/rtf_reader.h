#pragma once

#include <QByteArrayView>

class QTextCursor;
class QTextDocument;

namespace tl::diary {

// Replaces the document's content with an RTF stream, as loading an entry's
// rich text does: the paragraph mark that ends the stream ends the last
// paragraph, the undo history is cleared and the document is left
// unmodified. Returns false, leaving the document untouched, when the bytes
// are not RTF. RTF of other programs is read too (see ParseRtf).
[[nodiscard]] bool ReadRtf(QByteArrayView rtf, QTextDocument& document);

// Replaces the cursor's selection with an RTF stream as one undoable step, as
// pasting the private clipboard format does: every paragraph mark splits the
// paragraph, and text after the last mark joins the paragraph at the cursor.
// The cursor ends after the inserted text. Returns false, changing nothing,
// when the bytes are not RTF.
[[nodiscard]] bool InsertRtf(QByteArrayView rtf, QTextCursor& cursor);

}  // namespace tl::diary
