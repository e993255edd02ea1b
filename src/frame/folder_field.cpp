#include "folder_field.h"

#include <QLineEdit>

#include "exchange/field_checks.h"

namespace tl::frame {

std::optional<std::string> CheckedFolder(QLineEdit* field, res::UserInterface& ui) {
    const exchange::FolderCheck checked = exchange::CheckFolder(field->text().toStdString());
    if (!checked.folder.empty()) field->setText(QString::fromStdString(checked.display()));
    if (!checked.error) return checked.folder;
    ui.warn(*checked.error);
    field->setFocus();
    field->selectAll();
    return std::nullopt;
}

}  // namespace tl::frame
