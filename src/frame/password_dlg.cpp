#include "password_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/dialog_parts.h"
#include "widgets/scale.h"

namespace tl::frame {

using widgets::Scale;

namespace {

// A data file password has at most 10 characters.
constexpr int kPasswordLength = 10;

}  // namespace

QLineEdit* PasswordEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(kPasswordLength);
    edit->setMinimumWidth(Scale(160));
    return edit;
}

CPasswordDlg::CPasswordDlg(bool offerDataFileSetting, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Password"));
    createControls(offerDataFileSetting);
}

void CPasswordDlg::createControls(bool offerDataFileSetting) {
    m_password = PasswordEdit(this);
    auto* form = new QFormLayout;
    form->addRow(tr("Password"), m_password);

    QDialogButtonBox* buttons = widgets::OkCancelButtons(this);
    if (offerDataFileSetting) {
        QPushButton* settings =
            buttons->addButton(tr("Data file setting"), QDialogButtonBox::ActionRole);
        connect(settings, &QPushButton::clicked, this, [this] {
            m_dataFileSetting = true;
            accept();
        });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

app::PasswordReply CPasswordDlg::ask() {
    m_dataFileSetting = false;
    m_password->clear();
    m_password->setFocus();
    if (exec() != QDialog::Accepted) return {app::PasswordReply::Action::Cancel, {}};
    if (m_dataFileSetting) return {app::PasswordReply::Action::DataFileSetting, {}};
    return {app::PasswordReply::Action::Ok, m_password->text().toStdU16String()};
}

}  // namespace tl::frame
