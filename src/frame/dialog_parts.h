#pragma once

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QWidget;

namespace tl::frame {

// OK and Cancel wired to the dialog's accept and reject.
QDialogButtonBox* OkCancelButtons(QDialog* dialog);
// A short edit for a number of at most maxLength digits.
QLineEdit* NumberEdit(int maxLength, QWidget* parent);

}  // namespace tl::frame
