#include "number_field.h"

#include <QLineEdit>

#include "diary/scale.h"

namespace tl::sticky {

QLineEdit* NumberField(int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    // Digits need no input method: typing goes straight into the field.
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setInputMethodHints(Qt::ImhDigitsOnly);
    edit->setFixedWidth(diary::Scale(16 + 9 * maxLength));
    return edit;
}

}  // namespace tl::sticky
