#include "diary/rtf_reader.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

namespace tl::diary {
namespace {

QByteArray Sample(const char* name) {
    QFile file(QStringLiteral(TL_TEST_DATA "/rtf/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

QString BlockText(const QTextDocument& document, int number) {
    return document.findBlockByNumber(number).text();
}

// The format of the first character of the first occurrence of needle.
QTextCharFormat FormatOf(const QTextDocument& document, QStringView needle) {
    QTextCursor found = document.find(needle.toString());
    EXPECT_FALSE(found.isNull()) << needle.toString().toStdString();
    QTextCursor at(const_cast<QTextDocument*>(&document));
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

QString Family(const QTextCharFormat& format) {
    return format.fontFamilies().toStringList().value(0);
}

TEST(RtfReaderTest, ReadsTheRichEditControlsJapaneseStream) {
    QTextDocument document;
    ASSERT_TRUE(ReadRtf(Sample("richedit_ja.rtf"), document));

    ASSERT_EQ(document.blockCount(), 7);
    EXPECT_EQ(BlockText(document, 0), QString::fromUtf8("今日は晴れ。"));
    EXPECT_EQ(BlockText(document, 1), QString::fromUtf8("太字 italic under gone 赤 marked"));
    EXPECT_EQ(BlockText(document, 2), u"Centered");
    EXPECT_EQ(BlockText(document, 3), QString::fromUtf16(u"Indented\ttab\u2028next line"));
    EXPECT_EQ(BlockText(document, 4), QString::fromUtf8("① ⅰ ♥\U0001F600 link"));
    EXPECT_EQ(BlockText(document, 5), QString::fromUtf8("•\titem"));  // the symbol font's bullet
    EXPECT_EQ(BlockText(document, 6), u"");

    QTextCharFormat first = FormatOf(document, QString::fromUtf8("今日"));
    EXPECT_EQ(Family(first), QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(first.fontPointSize(), 10.0);
    EXPECT_EQ(first.fontWeight(), QFont::Normal);

    EXPECT_EQ(FormatOf(document, QString::fromUtf8("太字")).fontWeight(), QFont::Bold);
    QTextCharFormat italic = FormatOf(document, u"italic");
    EXPECT_TRUE(italic.fontItalic());
    EXPECT_EQ(italic.fontWeight(), QFont::Normal);
    EXPECT_TRUE(FormatOf(document, u"under").fontUnderline());
    EXPECT_TRUE(FormatOf(document, u"gone").fontStrikeOut());
    EXPECT_EQ(FormatOf(document, QString::fromUtf8("赤")).foreground().color(), QColor(255, 0, 0));
    QTextCharFormat marked = FormatOf(document, u"marked");
    EXPECT_EQ(marked.background().color(), QColor(255, 255, 0));
    EXPECT_FALSE(marked.hasProperty(QTextFormat::ForegroundBrush));

    EXPECT_EQ(document.findBlockByNumber(2).blockFormat().alignment(), Qt::AlignHCenter);
    QTextCharFormat centered = FormatOf(document, u"Centered");
    EXPECT_EQ(Family(centered), u"Arial");
    EXPECT_EQ(centered.fontPointSize(), 14.0);

    QTextBlockFormat indented = document.findBlockByNumber(3).blockFormat();
    EXPECT_EQ(indented.alignment(), Qt::AlignLeft);
    EXPECT_EQ(indented.leftMargin(), 48.0);  // 720 twips
    EXPECT_EQ(indented.rightMargin(), 24.0);
    EXPECT_EQ(indented.textIndent(), -24.0);
    EXPECT_EQ(indented.topMargin(), 8.0);
    EXPECT_EQ(indented.bottomMargin(), 16.0);

    QTextCharFormat link = FormatOf(document, u"link");
    EXPECT_TRUE(link.fontUnderline());
    EXPECT_EQ(link.foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(document.findBlockByNumber(5).blockFormat().leftMargin(), 200 / 15.0);
}

TEST(RtfReaderTest, ReadsTheWordProcessorsStream) {
    QTextDocument document;
    ASSERT_TRUE(ReadRtf(Sample("libreoffice.rtf"), document));

    ASSERT_EQ(document.blockCount(), 4);  // the closing "\par }" adds none
    EXPECT_EQ(BlockText(document, 0), QString::fromUtf8("Café and naïve"));
    EXPECT_EQ(BlockText(document, 1), u"Bold Italic Under Struck Red Shaded Marked");
    EXPECT_EQ(BlockText(document, 2), QString::fromUtf16(u"Sans\tafter tab\u2028second line"));
    EXPECT_EQ(BlockText(document, 3), QString::fromUtf8("日本語 example"));

    QTextCharFormat body = FormatOf(document, u"Caf");
    EXPECT_EQ(Family(body), u"Liberation Serif");  // the style sheet's face is not read
    EXPECT_EQ(body.fontPointSize(), 12.0);
    EXPECT_EQ(document.findBlockByNumber(1).blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(FormatOf(document, u"Bold").fontWeight(), QFont::Bold);
    EXPECT_FALSE(FormatOf(document, u" Italic").fontItalic());
    EXPECT_TRUE(FormatOf(document, u"Italic").fontItalic());
    EXPECT_TRUE(FormatOf(document, u"Under").fontUnderline());
    EXPECT_TRUE(FormatOf(document, u"Struck").fontStrikeOut());
    EXPECT_EQ(FormatOf(document, u"Red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(FormatOf(document, u"Shaded").background().color(), QColor(255, 255, 0));
    EXPECT_EQ(FormatOf(document, u"Marked").background().color(), QColor(0, 128, 0));

    QTextBlockFormat hanging = document.findBlockByNumber(2).blockFormat();
    EXPECT_DOUBLE_EQ(hanging.leftMargin(), 1134 / 15.0);
    EXPECT_DOUBLE_EQ(hanging.rightMargin(), 567 / 15.0);
    EXPECT_DOUBLE_EQ(hanging.textIndent(), -567 / 15.0);
    EXPECT_DOUBLE_EQ(hanging.topMargin(), 113 / 15.0);
    EXPECT_DOUBLE_EQ(hanging.bottomMargin(), 227 / 15.0);
    QTextCharFormat sans = FormatOf(document, u"Sans");
    EXPECT_EQ(Family(sans), u"Liberation Sans");
    EXPECT_EQ(sans.fontPointSize(), 14.0);
    EXPECT_EQ(Family(FormatOf(document, u"after")), u"Liberation Serif");

    QTextCharFormat example = FormatOf(document, u"example");
    EXPECT_TRUE(example.fontUnderline());
    EXPECT_EQ(example.foreground().color(), QColor(255, 0, 0));
}

TEST(RtfReaderTest, LoadingReplacesTheContentWithoutUndoOrModification) {
    QTextDocument document;
    document.setDefaultFont(QFont("Editor Face", 13));
    document.setPlainText("old\nold");
    document.setModified(true);
    ASSERT_TRUE(ReadRtf("{\\rtf1 new\\par}", document));
    EXPECT_EQ(document.toPlainText(), u"new");
    EXPECT_EQ(document.defaultFont().family(), u"Editor Face");  // the editor's setting stays
    EXPECT_FALSE(document.isModified());
    EXPECT_FALSE(document.isUndoAvailable());
    EXPECT_TRUE(document.isUndoRedoEnabled());

    // An empty paragraph keeps the format its mark carries: typing there
    // continues in it.
    ASSERT_TRUE(ReadRtf("{\\rtf1{\\b\\fs40\\par}}", document));
    EXPECT_EQ(document.blockCount(), 1);
    EXPECT_EQ(document.firstBlock().charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(document.firstBlock().charFormat().fontPointSize(), 20.0);
}

TEST(RtfReaderTest, OtherBytesAreRefusedAndChangeNothing) {
    QTextDocument document;
    document.setPlainText("kept");
    EXPECT_FALSE(ReadRtf("kept? no", document));
    EXPECT_FALSE(ReadRtf(QByteArray(), document));
    QTextCursor cursor(&document);
    EXPECT_FALSE(InsertRtf("<html>", cursor));
    EXPECT_EQ(document.toPlainText(), u"kept");
}

TEST(RtfReaderTest, InsertingSplitsTheParagraphAtEachMark) {
    QTextDocument document;
    document.setPlainText("xyz");
    QTextCursor cursor(&document);
    QTextBlockFormat target;
    target.setAlignment(Qt::AlignRight);
    cursor.setBlockFormat(target);
    cursor.setPosition(2);
    ASSERT_TRUE(InsertRtf("{\\rtf1\\pard\\qc{\\b A}\\par B}", cursor));
    ASSERT_EQ(document.blockCount(), 2);
    EXPECT_EQ(BlockText(document, 0), u"xyA");
    EXPECT_EQ(BlockText(document, 1), u"Bz");
    EXPECT_EQ(document.firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(document.lastBlock().blockFormat().alignment(), Qt::AlignRight);
    EXPECT_EQ(FormatOf(document, u"A").fontWeight(), QFont::Bold);
    EXPECT_EQ(cursor.position(), 5);  // after "B"

    // A mark at the end of a copied selection is a real break in a paste.
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    ASSERT_TRUE(InsertRtf("{\\rtf1 pasted\\par}", cursor));
    EXPECT_EQ(document.toPlainText(), u"xpasted\nA\nBz");

    // Undo takes the whole paste back at once.
    document.undo();
    EXPECT_EQ(document.toPlainText(), u"xyA\nBz");
}

}  // namespace
}  // namespace tl::diary
