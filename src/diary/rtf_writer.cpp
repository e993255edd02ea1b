#include "diary/rtf_writer.h"

#include <QHash>
#include <QList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <unordered_map>

#include "diary/rtf_qt_format.h"
#include "store/codepage.h"

namespace tl::diary {

using rtf::kWriterCharset;
using rtf::kWriterCodePage;
using rtf::RtfAlignment;
using rtf::RtfCharFormat;
using rtf::RtfColor;
using rtf::RtfParaFormat;

namespace {

void AppendNumber(QByteArray& out, int value) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

void AppendWord(QByteArray& out, const char* word, int value) {
    out.append(word);
    AppendNumber(out, value);
}

// Writes text with RTF's escapes. Invariant: uc holds the \uc in force in the
// group being written; it is raised to 2 before a two-byte fallback and back.
class TextEncoder {
public:
    // Appends text to out; sets wide when a code page 932 fallback byte
    // above ASCII was written (its font then needs \fcharset128).
    void append(QByteArray& out, QStringView text, int& uc, bool& wide) {
        for (QChar qc : text) {
            const char16_t c = qc.unicode();
            switch (c) {
                case u'\\':
                    out.append("\\\\");
                    continue;
                case u'{':
                    out.append("\\{");
                    continue;
                case u'}':
                    out.append("\\}");
                    continue;
                case u'\t':
                    out.append("\\tab ");
                    continue;
                case u'\u2028':
                    out.append("\\line ");
                    continue;
                case u'\uFFFC':
                    continue;  // an embedded object
                default:
                    break;
            }
            if (c >= 0x20 && c < 0x7F) {
                out.append(static_cast<char>(c));
            } else if (c >= 0x80) {
                appendUnicode(out, c, uc, wide);
            }
            // Other control characters carry nothing to keep.
        }
    }

private:
    void appendUnicode(QByteArray& out, char16_t c, int& uc, bool& wide) {
        const std::string& fallback = fallbackOf(c);
        const int length = static_cast<int>(fallback.size());
        if (length != uc) {
            AppendWord(out, "\\uc", length);
            out.append(' ');
            uc = length;
        }
        AppendWord(out, "\\u", c > 0x7FFF ? c - 0x10000 : c);
        // Every byte in hex: a trail byte may be "\\" or a brace, and some
        // readers skip a plain "?" fallback together with the next character.
        for (char byte : fallback) {
            static constexpr char kHex[] = "0123456789abcdef";
            auto b = static_cast<unsigned char>(byte);
            out.append("\\'");
            out.append(kHex[b >> 4]);
            out.append(kHex[b & 0xF]);
            if (b >= 0x80) wide = true;
        }
    }

    // Readers that do not know \u show the code page 932 form, or "?".
    const std::string& fallbackOf(char16_t c) {
        auto it = m_fallbacks.find(c);
        if (it == m_fallbacks.end()) {
            // Look-alikes are welcome here: only such readers show them.
            auto bytes =
                m_converter.encodeAnsi(std::u16string_view(&c, 1), store::AnsiFit::LookAlike);
            it = m_fallbacks.emplace(c, bytes.value_or("?")).first;
        }
        return it->second;
    }

    store::CodePageConverter m_converter;
    std::unordered_map<char16_t, std::string> m_fallbacks;
};

class Writer {
public:
    explicit Writer(const QTextDocument& document) : m_document(document) {
        fontIndex(document.defaultFont().family());  // \deff0
    }

    // Writes the text from position from to position to. finalMark: the
    // last block's paragraph mark is written even though the range ends
    // before it (the whole document).
    QByteArray write(int from, int to, bool finalMark);

private:
    void writeBlock(const QTextBlock& block, int from, int to, bool mark);
    void openRun(const ResolvedCharFormat& run);
    void closeRun();
    int fontIndex(const QString& face);
    int colorIndex(const RtfColor& color);
    QByteArray header();

    const QTextDocument& m_document;
    TextEncoder m_encoder;
    QByteArray m_body;
    QList<QString> m_fonts;
    QList<bool> m_fontWide;  // the font's text carries 932 fallback bytes
    QHash<QString, int> m_fontIndex;
    QList<RtfColor> m_colors;  // colour table entries from 1 on
    QHash<quint32, int> m_colorIndex;

    std::optional<ResolvedCharFormat> m_run;  // the open run group, if any
    int m_runFont = 0;
    int m_runUc = 1;
};

QByteArray Writer::write(int from, int to, bool finalMark) {
    m_body.reserve((to - from) * 2 + 256);
    for (QTextBlock block = m_document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int separator = block.position() + block.length() - 1;
        const bool last = !block.next().isValid() || block.next().position() > to;
        writeBlock(block, std::max(from, block.position()), std::min(to, separator),
                   separator < to || (finalMark && last));
    }
    QByteArray out = header();
    out.append(m_body);
    out.append("}");
    return out;
}

void Writer::writeBlock(const QTextBlock& block, int from, int to, bool mark) {
    if (!mark && from >= to) return;
    const RtfParaFormat para = ToParaFormat(block.blockFormat(), m_document.indentWidth());
    m_body.append("\\pard");
    switch (para.alignment) {
        case RtfAlignment::Left:
            break;
        case RtfAlignment::Center:
            m_body.append("\\qc");
            break;
        case RtfAlignment::Right:
            m_body.append("\\qr");
            break;
        case RtfAlignment::Justify:
            m_body.append("\\qj");
            break;
    }
    if (para.leftIndent != 0) AppendWord(m_body, "\\li", para.leftIndent);
    if (para.rightIndent != 0) AppendWord(m_body, "\\ri", para.rightIndent);
    if (para.firstIndent != 0) AppendWord(m_body, "\\fi", para.firstIndent);
    if (para.spaceBefore != 0) AppendWord(m_body, "\\sb", para.spaceBefore);
    if (para.spaceAfter != 0) AppendWord(m_body, "\\sa", para.spaceAfter);

    const QFont& defaultFont = m_document.defaultFont();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int start = std::max(from, fragment.position());
        const int end = std::min(to, fragment.position() + fragment.length());
        if (start >= end) continue;
        const ResolvedCharFormat run = ToRtfCharFormat(fragment.charFormat(), defaultFont);
        if (!m_run || !(*m_run == run)) {
            closeRun();
            openRun(run);
        }
        const QString text = fragment.text();
        bool wide = false;
        m_encoder.append(m_body, QStringView(text).mid(start - fragment.position(), end - start),
                         m_runUc, wide);
        if (wide) m_fontWide[m_runFont] = true;
    }
    if (mark) {
        // The mark carries the last run's format, or in an empty paragraph
        // the paragraph's own, which the editor types with.
        if (!m_run) openRun(ToRtfCharFormat(block.charFormat(), defaultFont));
        m_body.append("\\par");
    }
    closeRun();
    m_body.append('\n');
}

void Writer::openRun(const ResolvedCharFormat& run) {
    const RtfCharFormat& f = run.format;
    m_runFont = fontIndex(run.face);
    m_runUc = 1;
    m_body.append('{');
    AppendWord(m_body, "\\f", m_runFont);
    // Word processors keep a second face for East Asian text; name the
    // same one there, or Japanese text loses its face.
    AppendWord(m_body, "\\dbch\\af", m_runFont);
    AppendWord(m_body, "\\fs", f.halfPoints);
    if (f.bold) m_body.append("\\b");
    if (f.italic) m_body.append("\\i");
    if (f.underline) m_body.append("\\ul");
    if (f.strikeOut) m_body.append("\\strike");
    if (f.vertical == rtf::RtfVertical::Super) m_body.append("\\super");
    if (f.vertical == rtf::RtfVertical::Sub) m_body.append("\\sub");
    if (f.foreground) AppendWord(m_body, "\\cf", colorIndex(*f.foreground));
    // \highlight keeps any colour in the readers that matter; \cb is
    // ignored by some of them.
    if (f.background) AppendWord(m_body, "\\highlight", colorIndex(*f.background));
    m_body.append(' ');
    m_run = run;
}

void Writer::closeRun() {
    if (!m_run) return;
    m_body.append('}');
    m_run.reset();
}

int Writer::fontIndex(const QString& face) {
    auto it = m_fontIndex.constFind(face);
    if (it != m_fontIndex.constEnd()) return it.value();
    const int index = static_cast<int>(m_fonts.size());
    m_fonts.append(face);
    m_fontWide.append(false);
    m_fontIndex.insert(face, index);
    return index;
}

int Writer::colorIndex(const RtfColor& color) {
    const quint32 key = color.red << 16 | color.green << 8 | color.blue;
    auto it = m_colorIndex.constFind(key);
    if (it != m_colorIndex.constEnd()) return it.value();
    m_colors.append(color);
    const int index = static_cast<int>(m_colors.size());
    m_colorIndex.insert(key, index);
    return index;
}

QByteArray Writer::header() {
    QByteArray out("{\\rtf1\\ansi");
    AppendWord(out, "\\ansicpg", kWriterCodePage);
    out.append("\\deff0\\uc1\n{\\fonttbl");
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        QByteArray name;
        int uc = 1;
        bool wide = false;
        // A ";" would end the name early; no real family has one.
        QString face = m_fonts[i];
        face.remove(QLatin1Char(';'));
        m_encoder.append(name, face, uc, wide);
        AppendWord(out, "{\\f", static_cast<int>(i));
        AppendWord(out, "\\fnil\\fcharset", wide || m_fontWide[i] ? kWriterCharset : 0);
        out.append(' ');
        out.append(name);
        out.append(";}");
    }
    out.append("}\n");
    if (!m_colors.isEmpty()) {
        out.append("{\\colortbl ;");
        for (const RtfColor& color : m_colors) {
            AppendWord(out, "\\red", color.red);
            AppendWord(out, "\\green", color.green);
            AppendWord(out, "\\blue", color.blue);
            out.append(';');
        }
        out.append("}\n");
    }
    return out;
}

}  // namespace

QByteArray WriteRtf(const QTextDocument& document) {
    Writer writer(document);
    return writer.write(0, document.characterCount() - 1, true);
}

QByteArray WriteRtfSelection(const QTextCursor& cursor) {
    if (cursor.isNull()) {
        QTextDocument empty;
        return Writer(empty).write(0, 0, false);
    }
    Writer writer(*cursor.document());
    return writer.write(cursor.selectionStart(), cursor.selectionEnd(), false);
}

}  // namespace tl::diary
