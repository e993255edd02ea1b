#include "dialog_parts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

#include "diary/scale.h"
#include "exchange/field_checks.h"

namespace tl::frame {

QDialogButtonBox* OkCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
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
    edit->setFixedWidth(diary::Scale(16 + 9 * maxLength));
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

std::optional<std::string> CheckedFolder(QLineEdit* field, res::UserInterface& ui) {
    const exchange::FolderCheck checked = exchange::CheckFolder(field->text().toStdString());
    if (!checked.folder.empty()) field->setText(QString::fromStdString(checked.display()));
    if (!checked.error) return checked.folder;
    ui.warn(*checked.error);
    field->setFocus();
    field->selectAll();
    return std::nullopt;
}

void OpenUserGuide(res::UserInterface& ui) {
    const QString guide = QStringLiteral(TL_HELP_FILE);
    if (!QFileInfo::exists(guide) || !QDesktopServices::openUrl(QUrl::fromLocalFile(guide)))
        ui.warn(res::Msg::HelpNotOpened);
}

OverrideCursor::OverrideCursor(Qt::CursorShape shape) {
    QApplication::setOverrideCursor(shape);
}

OverrideCursor::~OverrideCursor() {
    QApplication::restoreOverrideCursor();
}

}  // namespace tl::frame
