#include "diary/rtf_writer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <functional>
#include <vector>

#include "app/app_settings.h"
#include "diary/marlow_view.h"
#include "diary/rtf_qt_format.h"
#include "diary/rtf_reader.h"
#include "res/user_interface.h"

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << bytes.toStdString();
}

namespace tl::diary {
namespace {

using rtf::RtfParaFormat;

// What a reader of the document sees: per paragraph its text, its RTF
// paragraph format and its runs with their RTF character formats.
struct Run {
    QString text;
    ResolvedCharFormat format;
    bool operator==(const Run&) const = default;
};
struct Paragraph {
    QString text;
    RtfParaFormat format;
    std::vector<Run> runs;
    ResolvedCharFormat emptyFormat;  // an empty paragraph's own format
    bool operator==(const Paragraph&) const = default;
};

std::vector<Paragraph> Look(const QTextDocument& document) {
    std::vector<Paragraph> result;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        Paragraph paragraph;
        paragraph.text = block.text();
        paragraph.format = ToParaFormat(block.blockFormat(), document.indentWidth());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            Run run{it.fragment().text(),
                    ToRtfCharFormat(it.fragment().charFormat(), document.defaultFont())};
            if (!paragraph.runs.empty() && paragraph.runs.back().format == run.format) {
                paragraph.runs.back().text += run.text;
            } else {
                paragraph.runs.push_back(run);
            }
        }
        if (block.length() == 1) {
            paragraph.emptyFormat = ToRtfCharFormat(block.charFormat(), document.defaultFont());
        }
        result.push_back(paragraph);
    }
    return result;
}

void ExpectRoundTrip(const QTextDocument& original) {
    const QByteArray rtf = WriteRtf(original);
    QTextDocument copy;
    copy.setDefaultFont(original.defaultFont());
    ASSERT_TRUE(ReadRtf(rtf, copy)) << rtf.toStdString();
    const auto expected = Look(original);
    const auto actual = Look(copy);
    ASSERT_EQ(actual.size(), expected.size()) << rtf.toStdString();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].text, expected[i].text) << "paragraph " << i;
        EXPECT_TRUE(actual[i] == expected[i]) << "paragraph " << i << "\n" << rtf.toStdString();
    }
}

QTextCharFormat Chars(std::function<void(QTextCharFormat&)> set) {
    QTextCharFormat format;
    set(format);
    return format;
}

// Every attribute the diary keeps, each on its own and some together.
void FillFormatted(QTextDocument& document) {
    QTextCursor cursor(&document);
    QTextBlockFormat centered;
    centered.setAlignment(Qt::AlignHCenter);
    centered.setTopMargin(8);
    centered.setBottomMargin(16);
    cursor.setBlockFormat(centered);
    cursor.insertText("plain ");
    cursor.insertText("bold", Chars([](auto& f) { f.setFontWeight(QFont::Bold); }));
    cursor.insertText("italic", Chars([](auto& f) { f.setFontItalic(true); }));
    cursor.insertText("under", Chars([](auto& f) { f.setFontUnderline(true); }));
    cursor.insertText("struck", Chars([](auto& f) { f.setFontStrikeOut(true); }));
    cursor.insertText("red", Chars([](auto& f) { f.setForeground(QColor(255, 0, 0)); }));
    cursor.insertText("marked", Chars([](auto& f) { f.setBackground(QColor(18, 52, 86)); }));
    cursor.insertText(
        "up", Chars([](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); }));
    cursor.insertText(
        "down", Chars([](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); }));
    cursor.insertText("all", Chars([](auto& f) {
                          f.setFontFamilies({"Serif Face"});
                          f.setFontPointSize(15.5);
                          f.setFontWeight(QFont::Bold);
                          f.setFontItalic(true);
                          f.setFontUnderline(true);
                          f.setFontStrikeOut(true);
                          f.setForeground(QColor(1, 2, 3));
                          f.setBackground(QColor(250, 251, 252));
                      }));

    QTextBlockFormat hanging;
    hanging.setAlignment(Qt::AlignRight);
    hanging.setLeftMargin(48);
    hanging.setRightMargin(24);
    hanging.setTextIndent(-24);
    cursor.insertBlock(hanging, QTextCharFormat());
    cursor.insertText(QString::fromUtf16(u"tab\there\u2028line {brace} back\\slash"));

    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    cursor.insertBlock(justified, QTextCharFormat());
    cursor.insertText(QString::fromUtf8("日本語ｶﾅ ① café ♥ \U0001F600"),
                      Chars([](auto& f) { f.setFontFamilies({QString::fromUtf8("ＭＳ 明朝")}); }));
    cursor.insertText(" size", Chars([](auto& f) { f.setFontPointSize(30); }));

    // An empty paragraph whose typing format is bold and large.
    cursor.insertBlock(QTextBlockFormat(), Chars([](auto& f) {
                           f.setFontWeight(QFont::Bold);
                           f.setFontPointSize(20);
                       }));
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText("last");
}

TEST(RtfWriterTest, EveryAttributeSurvivesARoundTrip) {
    QTextDocument document;
    document.setDefaultFont(QFont("Default Face", 11));
    FillFormatted(document);
    ExpectRoundTrip(document);
}

TEST(RtfWriterTest, ParagraphEndsSurviveARoundTrip) {
    for (const char* text : {"", "a", "a\n", "\n", "a\n\nb", "\n\n\n"}) {
        SCOPED_TRACE(text);
        QTextDocument document;
        document.setPlainText(text);
        ExpectRoundTrip(document);
    }
}

TEST(RtfWriterTest, WritesTablesUnicodeAndFallbacks) {
    QTextDocument document;
    document.setDefaultFont(QFont("Plain Face", 10));
    QTextCursor cursor(&document);
    cursor.insertText("a");
    cursor.insertText(QString::fromUtf8("あｱ"),
                      Chars([](auto& f) { f.setFontFamilies({QString::fromUtf8("ゴシック")}); }));
    cursor.insertText(QString::fromUtf8("é\U0001F600{\\}"), QTextCharFormat());
    cursor.insertText("x", Chars([](auto& f) { f.setForeground(Qt::blue); }));
    const QByteArray rtf = WriteRtf(document);
    SCOPED_TRACE(rtf.toStdString());

    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932\\deff0\\uc1"));
    EXPECT_TRUE(rtf.endsWith("}"));
    EXPECT_TRUE(rtf.contains("{\\f0\\fnil\\fcharset0 Plain Face;}"));
    // The font that carries code page 932 bytes says so; so does its name.
    EXPECT_TRUE(rtf.contains(
        "{\\f1\\fnil\\fcharset128 \\uc2 \\u12468\\'83\\'53\\u12471\\'83\\'56\\u12483\\'83\\'62"
        "\\u12463\\'83\\'4e;}"));
    EXPECT_TRUE(rtf.contains("{\\colortbl ;\\red0\\green0\\blue255;}"));
    EXPECT_TRUE(rtf.contains("{\\f0\\dbch\\af0\\fs20 a}"));
    // Two-byte fallbacks switch \uc to 2 and back.
    EXPECT_TRUE(rtf.contains("{\\f1\\dbch\\af1\\fs20 \\uc2 \\u12354\\'82\\'a0\\uc1 \\u-143\\'b1}"));
    // Characters outside the code page fall back to "?", surrogates too.
    EXPECT_TRUE(
        rtf.contains("{\\f0\\dbch\\af0\\fs20 \\u233\\'3f\\u-10179\\'3f\\u-8704\\'3f\\{\\\\\\}}"));
    EXPECT_TRUE(rtf.contains("{\\f0\\dbch\\af0\\fs20\\cf1 x\\par}"));
}

TEST(RtfWriterTest, AnEmptyDocumentIsOneEmptyParagraph) {
    QTextDocument document;
    const QByteArray rtf = WriteRtf(document);
    EXPECT_EQ(rtf.count("\\par}"), 1);
    EXPECT_EQ(rtf.count("\\pard"), 1);
    QTextDocument copy;
    copy.setPlainText("something");
    ASSERT_TRUE(ReadRtf(rtf, copy));
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_EQ(copy.blockCount(), 1);
}

TEST(RtfWriterTest, UnsetPropertiesAreWrittenAsTheDefaultFontShowsThem) {
    QTextDocument document;
    QFont font("Bold Default", 9);
    font.setBold(true);
    font.setUnderline(true);
    document.setDefaultFont(font);
    document.setPlainText("x");
    const QByteArray rtf = WriteRtf(document);
    EXPECT_TRUE(rtf.contains("{\\f0\\fnil\\fcharset0 Bold Default;}"));
    EXPECT_TRUE(rtf.contains("{\\f0\\dbch\\af0\\fs18\\b\\ul x\\par}"));
}

TEST(RtfWriterTest, EmbeddedObjectsAreLeftOut) {
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText("before");
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    document.addResource(QTextDocument::ImageResource, QUrl("mem:pic"), image);
    cursor.insertImage("mem:pic");
    cursor.insertText("after");
    QTextDocument copy;
    ASSERT_TRUE(ReadRtf(WriteRtf(document), copy));
    EXPECT_EQ(copy.toPlainText(), u"beforeafter");
}

TEST(RtfWriterTest, ASelectionTravelsWithItsFormatsAndOnlyItsMarks) {
    QTextDocument source;
    FillFormatted(source);
    QTextCursor selection(&source);
    const int bold = source.find("bold").selectionStart();
    selection.setPosition(bold + 2);
    selection.setPosition(bold + 7, QTextCursor::KeepAnchor);  // "ldita"
    QByteArray rtf = WriteRtfSelection(selection);
    EXPECT_EQ(rtf.count("\\par"), rtf.count("\\pard"));  // no mark written

    QTextDocument target;
    target.setPlainText("[]");
    QTextCursor at(&target);
    at.setPosition(1);
    ASSERT_TRUE(InsertRtf(rtf, at));
    EXPECT_EQ(target.toPlainText(), u"[ldita]");
    EXPECT_EQ(target.find("ld").charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(target.find("ita").charFormat().fontItalic());
    EXPECT_EQ(target.blockCount(), 1);

    // Across a paragraph end: the mark travels, the paste splits.
    const int end = source.firstBlock().length() - 1;
    selection.setPosition(end - 3);
    selection.setPosition(end + 5, QTextCursor::KeepAnchor);
    rtf = WriteRtfSelection(selection);
    target.setPlainText("[]");
    at.setPosition(1);
    ASSERT_TRUE(InsertRtf(rtf, at));
    EXPECT_EQ(target.toPlainText(), u"[all\ntab\t]");
    EXPECT_EQ(target.firstBlock().blockFormat().alignment(), Qt::AlignHCenter);

    // Nothing selected: a valid stream that inserts nothing.
    selection.clearSelection();
    rtf = WriteRtfSelection(selection);
    EXPECT_TRUE(InsertRtf(rtf, at));
    EXPECT_EQ(target.toPlainText(), u"[all\ntab\t]");
}

// Runs the converter on the writer's output, when it is installed.
QString Convert(const QByteArray& rtf, const QString& to) {
    const QString pandoc = QStandardPaths::findExecutable("pandoc");
    if (pandoc.isEmpty()) return {};
    QProcess process;
    process.start(pandoc, {"--from=rtf", "--to=" + to, "--wrap=none"});
    process.write(rtf);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString Words(QString text) {
    return text.replace(QRegularExpression("\\s+"), " ").trimmed();
}

TEST(RtfWriterTest, AnotherProgramReadsTheSameTextAndFormats) {
    if (QStandardPaths::findExecutable("pandoc").isEmpty()) {
        GTEST_SKIP() << "pandoc is not installed (scripts/install-deps.sh installs it)";
    }
    QTextDocument document;
    FillFormatted(document);
    const QByteArray rtf = WriteRtf(document);

    // The converter turns tabs into spaces and knows no line breaks in
    // plain text; compare the words. Some versions read each half of a
    // surrogate pair (\u-10179 \u-8704) as U+FFFD: leave those out.
    QString expected = document.toPlainText();
    expected.removeIf([](QChar c) { return c.isSurrogate(); });
    QString actual = Convert(rtf, "plain-strikeout");
    actual.remove(QChar(0xFFFD));
    // Raised and lowered text come out as ^(up) and _(down).
    actual.replace("^(up)_(down)", "updown");
    EXPECT_EQ(Words(actual), Words(expected));

    const QString html = Convert(rtf, "html");
    EXPECT_TRUE(html.contains("<strong>bold</strong>")) << html.toStdString();
    EXPECT_TRUE(html.contains("<em>italic</em>")) << html.toStdString();
    EXPECT_TRUE(html.contains("<u>under</u>")) << html.toStdString();
    EXPECT_TRUE(html.contains("<del>struck</del>")) << html.toStdString();
    EXPECT_TRUE(html.contains("<sup>up</sup>")) << html.toStdString();
    EXPECT_TRUE(html.contains("<sub>down</sub>")) << html.toStdString();
    EXPECT_TRUE(html.contains(QString::fromUtf8("日本語ｶﾅ ① café ♥ "))) << html.toStdString();
}

QByteArray WriterSample(const char* name) {
    QFile file(QStringLiteral(TL_TEST_DATA "/rtf/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

QTextCharFormat FormatAt(const QTextDocument& document, const QString& needle) {
    const QTextCursor found = document.find(needle);
    EXPECT_FALSE(found.isNull()) << needle.toStdString();
    QTextCursor at(const_cast<QTextDocument*>(&document));
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

// Documents a word processor wrote (tests/data/rtf/sources holds what they
// were made from): Japanese formats, raised text, symbol bullets and a table
// are read, and survive the editor's saving and reading back.
TEST(RtfWriterTest, WordProcessorDocumentsSurviveTheEditor) {
    QTextDocument document;
    ASSERT_TRUE(ReadRtf(WriterSample("writer_ja.rtf"), document));
    EXPECT_EQ(FormatAt(document, QString::fromUtf8("太字の")).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(document, QString::fromUtf8("大きい")).fontPointSize(), 18.0);
    EXPECT_EQ(FormatAt(document, QString::fromUtf8("ゴシック")).fontFamilies().toStringList(),
              QStringList{"Noto Sans CJK JP"});
    EXPECT_TRUE(FormatAt(document, QString::fromUtf8("斜体")).fontItalic());
    EXPECT_EQ(FormatAt(document, "2 and").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(FormatAt(document, "2O").verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(FormatAt(document, "O").verticalAlignment(), QTextCharFormat::AlignNormal);
    EXPECT_TRUE(document.toPlainText().contains(QString::fromUtf8("•\tfirst item\n")));
    EXPECT_TRUE(document.toPlainText().contains("\na1\tb1\na2\tb2\n"));  // no tab at a row's end
    ExpectRoundTrip(document);

    QTextDocument symbols;
    ASSERT_TRUE(ReadRtf(WriterSample("writer_symbols.rtf"), symbols));
    EXPECT_EQ(symbols.toPlainText(), QString::fromUtf8("•\tSymbol bullet\n▪\tWingdings square\n"
                                                       "➢\tarrow ✓ tick"));
    ExpectRoundTrip(symbols);
}

// The word processor's own reading of its documents has the same words.
TEST(RtfWriterTest, WordProcessorReadsItsDocumentsAsTheEditorDoes) {
    const QString office = QStandardPaths::findExecutable("soffice");
    if (office.isEmpty()) GTEST_SKIP() << "soffice (libreoffice-writer-nogui) is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"writer_ja.rtf", "writer_symbols.rtf"}) {
        SCOPED_TRACE(name);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", dir.path());  // a profile of its own
        process.setProcessEnvironment(environment);
        process.start(office, {"--headless", "--convert-to", "txt:Text (encoded):UTF8", "--outdir",
                               dir.path(), QStringLiteral(TL_TEST_DATA "/rtf/") + name});
        ASSERT_TRUE(process.waitForFinished(300000));
        QFile text(dir.filePath(QString::fromLatin1(name).replace(".rtf", ".txt")));
        ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << process.readAllStandardError().toStdString();
        QString theirs = QString::fromUtf8(text.readAll());
        QTextDocument document;
        ASSERT_TRUE(ReadRtf(WriterSample(name), document));
        QString ours = document.toPlainText();
        // It keeps symbol fonts' private-use codes where the editor shows
        // what they stand for; bullets and marks are compared apart.
        theirs.removeIf([](QChar c) { return c.unicode() >= 0xF000 && c.unicode() <= 0xF0FF; });
        theirs.remove(QChar(0xFEFF)).remove(QChar(0x2022));
        ours.removeIf([](QChar c) { return QString::fromUtf8("•▪➢✓♣").contains(c); });
        EXPECT_EQ(Words(ours).toStdString(), Words(theirs).toStdString());
    }
}

// What one entry's Copy leaves for another entry and for other programs:
// the own format first, then RTF for word processors (read back here by
// an independent converter), then the plain text.
TEST(RtfWriterTest, CopiedSelectionTravelsBetweenEntriesAndOutAsRtf) {
    app::AppSettings settings;
    res::SilentUserInterface ui;
    CMarlowView from(settings, ui), to(settings, ui);
    QTextCursor cursor = from.textCursor();
    cursor.insertText("left ");
    cursor.insertText("bold", Chars([](auto& f) { f.setFontWeight(QFont::Bold); }));
    cursor.insertText(" ");
    cursor.insertText("tilted", Chars([](auto& f) { f.setFontItalic(true); }));
    cursor.insertText(" ");
    cursor.insertText("crimson", Chars([](auto& f) { f.setForeground(QColor(200, 10, 30)); }));
    cursor.insertText(" ");
    cursor.insertText("large", Chars([](auto& f) { f.setFontPointSize(22); }));
    cursor.insertBlock();
    cursor.insertText("end");
    // Everything but the first word.
    cursor.setPosition(5);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    from.setTextCursor(cursor);
    from.copy();

    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    const QStringList formats = mime->formats();
    ASSERT_GE(formats.size(), 3);
    EXPECT_EQ(formats.front(), QString::fromLatin1(kPrivateMimeType));
    EXPECT_TRUE(formats.contains("text/rtf"));
    EXPECT_EQ(mime->text(), QStringLiteral("bold tilted crimson large\nend"));

    to.setPlainText("[]");
    QTextCursor at = to.textCursor();
    at.setPosition(1);
    to.setTextCursor(at);
    to.paste();
    EXPECT_EQ(to.toPlainText(), QStringLiteral("[bold tilted crimson large\nend]"));
    auto formatAt = [&](const QString& word) {
        QTextCursor probe(to.document());
        probe.setPosition(static_cast<int>(to.toPlainText().indexOf(word)) + 1);
        return probe.charFormat();
    };
    EXPECT_EQ(formatAt("bold").fontWeight(), QFont::Bold);
    EXPECT_NE(formatAt("tilted").fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatAt("tilted").fontItalic());
    EXPECT_EQ(formatAt("crimson").foreground().color(), QColor(200, 10, 30));
    EXPECT_EQ(formatAt("large").fontPointSize(), 22);
    EXPECT_FALSE(formatAt("end").fontItalic());

    const QByteArray rtf = mime->data("text/rtf");
    EXPECT_EQ(rtf, mime->data(QString::fromLatin1(kPrivateMimeType)));
    // Colours and sizes as every RTF reader takes them: a colour table
    // entry and half points.
    EXPECT_TRUE(rtf.contains("\\red200\\green10\\blue30;"));
    EXPECT_TRUE(rtf.contains("\\fs44"));
    if (QStandardPaths::findExecutable("pandoc").isEmpty())
        GTEST_SKIP() << "pandoc is not installed (scripts/install-deps.sh installs it)";
    const QString html = Convert(rtf, "html");
    EXPECT_TRUE(html.contains(QRegularExpression("<strong>bold ?</strong>"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QRegularExpression("<em>tilted ?</em>"))) << html.toStdString();
    EXPECT_FALSE(html.contains(QRegularExpression("<(strong|em)>[^<]*crimson")));
    EXPECT_EQ(Words(Convert(rtf, "plain")), QStringLiteral("bold tilted crimson large end"));
    EXPECT_FALSE(html.contains("left"));
}

}  // namespace
}  // namespace tl::diary
