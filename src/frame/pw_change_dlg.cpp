#include "pw_change_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/password.h"
#include "password_dlg.h"
#include "widgets/dialog_parts.h"

namespace tl::frame {

CPwChangeDlg::CPwChangeDlg(std::u16string stored, res::UserInterface& ui, QWidget* parent)
    : QDialog(parent), m_stored(std::move(stored)), m_ui(ui) {
    setWindowTitle(tr("Change password"));
    createControls();
}

void CPwChangeDlg::createControls() {
    m_old = PasswordEdit(this);
    m_new = PasswordEdit(this);
    m_confirm = PasswordEdit(this);
    auto* form = new QFormLayout;
    form->addRow(tr("Old password"), m_old);
    form->addRow(tr("New password"), m_new);
    form->addRow(tr("Confirm password"), m_confirm);
    QDialogButtonBox* buttons = widgets::OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CPwChangeDlg::accept() {
    const app::PasswordChange change{m_old->text().toStdU16String(), m_new->text().toStdU16String(),
                                     m_confirm->text().toStdU16String()};
    switch (app::CheckPasswordChange(m_stored, change, m_ui)) {
        case app::ChangeCheck::Accept:
            m_newPassword = change.newPassword;
            QDialog::accept();
            return;
        case app::ChangeCheck::FocusOld:
            m_old->setFocus();
            m_old->selectAll();
            return;
        case app::ChangeCheck::FocusNew:
            m_new->setFocus();
            m_new->selectAll();
            return;
        case app::ChangeCheck::StayOpen:
            return;
    }
}

}  // namespace tl::frame
