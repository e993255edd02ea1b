#include "desktop_dialogs.h"

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

}  // namespace tl::frame
