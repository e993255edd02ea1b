#pragma once

class QLineEdit;
class QWidget;

namespace tl::sticky {

// A short edit for a number of at most maxLength digits, with the input
// method off while it has the focus.
QLineEdit* NumberField(int maxLength, QWidget* parent);

}  // namespace tl::sticky
