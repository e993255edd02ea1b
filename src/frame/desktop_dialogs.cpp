#include "desktop_dialogs.h"

#include <QFileInfo>
#include <QInputDialog>

#include "data_file_settings_dlg.h"
#include "password_dlg.h"

namespace tl::frame {

bool DesktopDialogs::editDataFileSettings(app::DataFileSettingsForm& form) {
    CDataFileSettingsDlg dialog(form, m_ui, m_defaultFolder, m_parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    form = dialog.form();
    return true;
}

app::PasswordReply DesktopDialogs::askPassword(bool offerDataFileSetting) {
    CPasswordDlg dialog(offerDataFileSetting, m_parent);
    return dialog.ask();
}

std::optional<std::size_t> DesktopDialogs::chooseBackup(
    const std::vector<app::BackupCopy>& copies) {
    QStringList items;
    for (const app::BackupCopy& copy : copies)
        items << QStringLiteral("%1  (%2)")
                     .arg(QString::fromStdString(app::LocalDateTimeText(copy.madeAt)),
                          QFileInfo(QString::fromStdString(copy.path)).fileName());
    bool ok = false;
    const QString chosen = QInputDialog::getItem(m_parent, QObject::tr("Restore from backup"),
                                                 QObject::tr("&Backup to restore (newest first):"),
                                                 items, 0, false, &ok);
    if (!ok) return std::nullopt;
    const auto row = items.indexOf(chosen);
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
}

}  // namespace tl::frame
