#pragma once

#include <functional>

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QWidget;

namespace tl::widgets {

// OK and Cancel wired to the dialog's accept (or onOk, for a dialog that
// checks its fields first) and reject. The caller places the row.
QDialogButtonBox* OkCancelButtons(QDialog* dialog, std::function<void()> onOk = {});
// A short edit for a number of at most maxLength digits.
QLineEdit* NumberEdit(int maxLength, QWidget* parent);

}  // namespace tl::widgets
