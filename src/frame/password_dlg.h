#pragma once

#include <QDialog>

#include "app/app_dialogs.h"

class QLineEdit;
class QPushButton;

namespace tl::frame {

// A masked field for a data file password (at most 10 characters).
QLineEdit* PasswordEdit(QWidget* parent);

// The password prompt: one masked field, OK, Cancel and, only during the
// first start-up, "Data file setting".
class CPasswordDlg : public QDialog {
    Q_OBJECT

public:
    CPasswordDlg(bool offerDataFileSetting, QWidget* parent = nullptr);
    // Runs the dialog and says what the user chose.
    app::PasswordReply ask();

private:
    void createControls(bool offerDataFileSetting);

    QLineEdit* m_password = nullptr;
    bool m_dataFileSetting = false;
};

}  // namespace tl::frame
