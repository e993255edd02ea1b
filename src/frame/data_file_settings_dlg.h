#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "app/data_file_settings.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace tl::frame {

// Data file settings: where the data file and its backup live. Edits a
// form; on OK the form's checks run here and keep the dialog open with the
// focus on the offending folder while they fail.
class CDataFileSettingsDlg : public QDialog {
    Q_OBJECT

public:
    // defaultFolder: the default folder, or nullopt when it cannot be made
    // (the caller has told the user).
    using DefaultFolder = std::function<std::optional<std::string>()>;

    CDataFileSettingsDlg(app::DataFileSettingsForm form, res::UserInterface& ui,
                         DefaultFolder defaultFolder, QWidget* parent = nullptr);
    const app::DataFileSettingsForm& form() const { return m_form; }

protected:
    void accept() override;

private:
    struct FolderRow {
        QRadioButton* byDefault = nullptr;
        QRadioButton* following = nullptr;
        QComboBox* folders = nullptr;
        QPushButton* browse = nullptr;
    };
    void createControls();
    QGroupBox* createGroup(const QString& title, const QString& defaultText, FolderRow& row,
                           bool tellFirst);
    void updateEnabling();
    void browse(QComboBox* folders);
    void openFolder(const FolderRow& row, bool tellFirst);
    void readBack();

    app::DataFileSettingsForm m_form;
    res::UserInterface& m_ui;
    DefaultFolder m_defaultFolder;
    FolderRow m_data;
    FolderRow m_backup;
    QCheckBox* m_autoBackup = nullptr;
    QGroupBox* m_backupGroup = nullptr;
};

}  // namespace tl::frame
