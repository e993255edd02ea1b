#pragma once

#include <functional>

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace tl::widgets {

// OK and Cancel wired to the dialog's accept (or onOk, for a dialog that
// checks its fields first) and reject. The caller places the row.
QDialogButtonBox* OkCancelButtons(QDialog* dialog, std::function<void()> onOk = {});
// The same with OK named "Start" (the default button), for the dialogs
// that start a long operation.
QDialogButtonBox* StartCancelButtons(QDialog* dialog);
// A short edit for a number of at most maxLength digits.
QLineEdit* NumberEdit(int maxLength, QWidget* parent);
// A button that lets the user pick a folder with the system's folder
// picker, starting at the folder typed into field; the choice is put into
// the field with one separator.
QPushButton* BrowseButton(const QString& text, QLineEdit* field, QWidget* parent);

}  // namespace tl::widgets
