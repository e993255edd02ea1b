#pragma once

#include <Qt>
#include <optional>
#include <string>

#include "res/user_interface.h"

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace tl::frame {

// OK and Cancel wired to the dialog's accept and reject.
QDialogButtonBox* OkCancelButtons(QDialog* dialog);
// "Start" (the default button) and "Cancel" wired to accept and reject.
QDialogButtonBox* StartCancelButtons(QDialog* dialog);
// A short edit for a number of at most maxLength digits.
QLineEdit* NumberEdit(int maxLength, QWidget* parent);
// A button that lets the user pick a folder with the system's folder
// picker, starting at the folder typed into field; the choice is put into
// the field with one separator.
QPushButton* BrowseButton(const QString& text, QLineEdit* field, QWidget* parent);
// The folder typed into field, trimmed and without trailing separators,
// when it names an existing folder; the field then shows it with one
// separator. Otherwise tells why and leaves the field focused and selected.
std::optional<std::string> CheckedFolder(QLineEdit* field, res::UserInterface& ui);
// Opens the user guide in the browser; tells when it cannot.
void OpenUserGuide(res::UserInterface& ui);

// A cursor shape for the whole program while the object lives; nests.
class OverrideCursor {
public:
    explicit OverrideCursor(Qt::CursorShape shape);
    ~OverrideCursor();
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
};

}  // namespace tl::frame
