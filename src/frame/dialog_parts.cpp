#include "dialog_parts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>

#include "diary/scale.h"

namespace tl::frame {

QDialogButtonBox* OkCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QLineEdit* NumberEdit(int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    // About one digit's width per character, plus the frame.
    edit->setFixedWidth(diary::Scale(16 + 9 * maxLength));
    return edit;
}

}  // namespace tl::frame
