#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "res/user_interface.h"

class QLineEdit;

namespace tl::frame {

// "Convert old diary data": the folder to search for data files of earlier
// versions. Start needs an existing folder that holds at least one of them.
class COldDataDlg : public QDialog {
    Q_OBJECT

public:
    COldDataDlg(const std::string& folder, res::UserInterface& ui, QWidget* parent = nullptr);

    // Once accepted: the checked folder (without trailing separator).
    const std::string& folder() const { return m_folder; }
    QLineEdit* folderField() const { return m_location; }

protected:
    void accept() override;

private:
    res::UserInterface& m_ui;
    QLineEdit* m_location = nullptr;
    std::string m_folder;
};

}  // namespace tl::frame
