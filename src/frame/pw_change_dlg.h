#pragma once

#include <QDialog>
#include <string>

#include "res/user_interface.h"

class QLineEdit;

namespace tl::frame {

// Change password: the old password, the new one twice. On OK the checks
// run against the stored password; the dialog stays open while they fail.
class CPwChangeDlg : public QDialog {
    Q_OBJECT

public:
    CPwChangeDlg(std::u16string stored, res::UserInterface& ui, QWidget* parent = nullptr);
    const std::u16string& newPassword() const { return m_newPassword; }

protected:
    void accept() override;

private:
    void createControls();

    std::u16string m_stored;
    res::UserInterface& m_ui;
    QLineEdit* m_old = nullptr;
    QLineEdit* m_new = nullptr;
    QLineEdit* m_confirm = nullptr;
    std::u16string m_newPassword;
};

}  // namespace tl::frame
