#pragma once

// The character format the edit bar shows for an editor's selection: the
// face and the size where the whole selection has one, and each effect
// where the whole selection has it. Without a selection, the format that
// typing would use.

#include <QString>
#include <optional>

class QTextCursor;
class QTextCharFormat;
class QFont;

namespace tl::frame {

struct SelectionFormat {
    std::optional<QString> family;
    std::optional<double> pointSize;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// typing: the editor's current format (used without a selection);
// defaultFont fills what a format leaves unset.
SelectionFormat ReadSelectionFormat(const QTextCursor& cursor, const QTextCharFormat& typing,
                                    const QFont& defaultFont);

// The size as the size box shows it: "10", "10.5".
QString SizeText(double points);

}  // namespace tl::frame
