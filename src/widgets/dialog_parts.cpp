#include "widgets/dialog_parts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

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

QDialogButtonBox* StartCancelButtons(QDialog* dialog) {
    // The OK button renamed, so that both buttons look as in every dialog.
    QDialogButtonBox* buttons = OkCancelButtons(dialog);
    QPushButton* start = buttons->button(QDialogButtonBox::Ok);
    start->setText(QObject::tr("&Start"));
    start->setDefault(true);
    return buttons;
}

QLineEdit* NumberEdit(int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    // Digits only: no input method composition for a number.
    edit->setInputMethodHints(Qt::ImhDigitsOnly);
    // About one digit's width per character, plus the frame.
    edit->setFixedWidth(Scale(16 + 9 * maxLength));
    return edit;
}

QPushButton* BrowseButton(const QString& text, QLineEdit* field, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    QObject::connect(button, &QPushButton::clicked, parent, [field, parent] {
        const QString chosen = QFileDialog::getExistingDirectory(
            parent, QString(), QDir::fromNativeSeparators(field->text().trimmed()));
        if (chosen.isEmpty()) return;
        QString shown = QDir::toNativeSeparators(chosen);
        if (!shown.endsWith(QDir::separator())) shown += QDir::separator();
        field->setText(shown);
        field->setFocus();
    });
    return button;
}

}  // namespace tl::widgets
