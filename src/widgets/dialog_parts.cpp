#include "widgets/dialog_parts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>

#include "widgets/scale.h"

namespace tl::widgets {

QDialogButtonBox* OkCancelButtons(QDialog* dialog, std::function<void()> onOk) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    if (onOk)
        QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, std::move(onOk));
    else
        QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QLineEdit* NumberEdit(int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    // About one digit's width per character, plus the frame.
    edit->setFixedWidth(Scale(16 + 9 * maxLength));
    return edit;
}

}  // namespace tl::widgets
