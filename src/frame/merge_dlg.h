#pragma once

#include <QDialog>

#include "app/exchange_forms.h"

class QCheckBox;
class QComboBox;

namespace tl::frame {

// "Merge": the folder of the data file to merge, with the five folders
// merged from last in its drop-down, and "After the merge, empty.". Start
// needs an existing folder.
class CMergeDlg : public QDialog {
    Q_OBJECT

public:
    CMergeDlg(const app::MergeForm& form, res::UserInterface& ui, QWidget* parent = nullptr);

    // Once accepted: the checked folder (without trailing separator).
    const std::string& folder() const { return m_folder; }
    bool emptyAfter() const;
    QComboBox* folderField() const { return m_folders; }

protected:
    void accept() override;

private:
    void createControls();

    res::UserInterface& m_ui;
    QComboBox* m_folders = nullptr;
    QCheckBox* m_emptyAfter = nullptr;
    std::string m_folder;
};

}  // namespace tl::frame
