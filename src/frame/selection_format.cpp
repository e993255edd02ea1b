#include "selection_format.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <cmath>

namespace tl::frame {

namespace {

SelectionFormat FormatOf(const QTextCharFormat& format, const QFont& defaultFont) {
    const QFont font = format.font().resolve(defaultFont);
    SelectionFormat f;
    f.family = font.family();
    f.pointSize = font.pointSizeF() > 0 ? std::optional(font.pointSizeF()) : std::nullopt;
    f.bold = font.weight() > QFont::Normal;
    f.italic = font.italic();
    // The underline style is not a font property: a format's cached font
    // may miss a later change of it.
    const bool ownUnderline = format.hasProperty(QTextFormat::TextUnderlineStyle) ||
                              format.hasProperty(QTextFormat::FontUnderline);
    f.underline = ownUnderline ? format.fontUnderline() : defaultFont.underline();
    f.strikeOut = font.strikeOut();
    return f;
}

// What the whole of a and b share.
void Narrow(SelectionFormat& a, const SelectionFormat& b) {
    if (a.family != b.family) a.family.reset();
    if (a.pointSize != b.pointSize) a.pointSize.reset();
    a.bold = a.bold && b.bold;
    a.italic = a.italic && b.italic;
    a.underline = a.underline && b.underline;
    a.strikeOut = a.strikeOut && b.strikeOut;
}

}  // namespace

SelectionFormat ReadSelectionFormat(const QTextCursor& cursor, const QTextCharFormat& typing,
                                    const QFont& defaultFont) {
    if (!cursor.hasSelection()) return FormatOf(typing, defaultFont);
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    const QTextDocument* document = cursor.document();
    std::optional<SelectionFormat> shared;
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = fragment.position();
            if (from + fragment.length() <= start || from >= end) continue;
            const SelectionFormat f = FormatOf(fragment.charFormat(), defaultFont);
            if (shared)
                Narrow(*shared, f);
            else
                shared = f;
        }
    }
    // A selection of paragraph breaks only: the format typed there.
    return shared ? *shared : FormatOf(typing, defaultFont);
}

QString SizeText(double points) {
    const double rounded = std::round(points * 10) / 10;
    return QString::number(rounded, 'g', 4);
}

}  // namespace tl::frame
