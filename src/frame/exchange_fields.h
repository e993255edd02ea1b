#pragma once

// The fields the Export, Import and Merge dialogs share: the folder row
// with its picker, the three encodings, and the folder check of Start.

#include <QString>
#include <array>
#include <optional>
#include <string>

#include "exchange/export.h"
#include "res/user_interface.h"

class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace tl::frame {

// label, the field (edit, or the combo box edit belongs to) and a button
// that picks a folder into edit.
QHBoxLayout* FolderRow(const QString& label, QWidget* field, QLineEdit* edit,
                       const QString& browseText, QWidget* parent);

// "Encode": "Ansi", "UNICODE", "Rich text", one checked.
class EncodingChoice {
public:
    EncodingChoice(Qt::Orientation orientation, QWidget* parent);
    QGroupBox* group() const { return m_group; }
    exchange::Encoding encoding() const;
    void setEncoding(exchange::Encoding encoding);

private:
    QGroupBox* m_group;
    std::array<QRadioButton*, 3> m_choices{};
};

// The folder typed into field, trimmed and without trailing separators,
// when it names an existing folder; the field then shows it with one
// separator. Otherwise tells why ("Specify folder name.", "Folder name is
// incorrect.") and leaves the field focused with its text selected.
std::optional<std::string> CheckedFolder(QLineEdit* field, res::UserInterface& ui);

}  // namespace tl::frame
