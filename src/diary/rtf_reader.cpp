#include "diary/rtf_reader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <string>
#include <string_view>

#include "diary/rtf_qt_format.h"
#include "rtf/rtf_parser.h"

namespace tl::diary {

using rtf::IsRtf;
using rtf::ParseRtf;
using rtf::RtfCharFormat;
using rtf::RtfParaFormat;
using rtf::RtfSink;

namespace {

// Builds the content at a cursor. In a whole document a paragraph mark only
// ends its paragraph (the next one starts when more content follows); in an
// insertion every mark is a real break and the paragraph after the last one
// keeps the format of the paragraph the text was inserted into.
class CursorSink final : public RtfSink {
public:
    CursorSink(QTextCursor& cursor, bool wholeDocument)
        : m_cursor(cursor),
          m_wholeDocument(wholeDocument),
          m_tailFormat(wholeDocument ? QTextBlockFormat() : cursor.blockFormat()) {}

    void text(std::u16string_view text, const RtfCharFormat& format) override {
        breakPending();
        m_cursor.insertText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())),
                            charFormat(format));
    }

    void paragraphMark(const RtfParaFormat& para, const RtfCharFormat& mark) override {
        breakPending();
        m_cursor.setBlockFormat(ToBlockFormat(para));
        m_markFormat = charFormat(mark);
        if (m_cursor.block().length() == 1) m_cursor.setBlockCharFormat(m_markFormat);
        m_pendingBreak = true;
        if (!m_wholeDocument) breakPending();
    }

    void end(const RtfParaFormat& para) override {
        if (m_wholeDocument && !m_pendingBreak) m_cursor.setBlockFormat(ToBlockFormat(para));
    }

private:
    void breakPending() {
        if (!m_pendingBreak) return;
        m_pendingBreak = false;
        m_cursor.insertBlock(m_tailFormat, m_markFormat);
    }

    // Runs mostly repeat the format before them: convert each one once.
    const QTextCharFormat& charFormat(const RtfCharFormat& format) {
        if (!m_hasLast || !(format == m_lastKey)) {
            m_lastFace.assign(format.face);
            m_lastKey = format;
            m_lastKey.face = m_lastFace;
            m_lastFormat = ToCharFormat(format);
            m_hasLast = true;
        }
        return m_lastFormat;
    }

    QTextCursor& m_cursor;
    const bool m_wholeDocument;
    const QTextBlockFormat m_tailFormat;
    QTextCharFormat m_markFormat;
    bool m_pendingBreak = false;

    bool m_hasLast = false;
    std::u16string m_lastFace;
    RtfCharFormat m_lastKey;
    QTextCharFormat m_lastFormat;
};

std::string_view View(QByteArrayView bytes) {
    return std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

bool ReadRtf(QByteArrayView rtf, QTextDocument& document) {
    if (!IsRtf(View(rtf))) return false;
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    CursorSink sink(cursor, true);
    ParseRtf(View(rtf), sink);
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
    return true;
}

bool InsertRtf(QByteArrayView rtf, QTextCursor& cursor) {
    if (cursor.isNull() || !IsRtf(View(rtf))) return false;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    CursorSink sink(cursor, false);
    ParseRtf(View(rtf), sink);
    cursor.endEditBlock();
    return true;
}

}  // namespace tl::diary
