#pragma once

#include <QDialog>

#include "app/app_settings.h"
#include "res/user_interface.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace tl::frame {

// Other settings: the start-up options. Writes into the settings only on
// an accepted OK; a wrong hour keeps the dialog open with the hour selected.
class COtherSettingsDlg : public QDialog {
    Q_OBJECT

public:
    COtherSettingsDlg(app::AppSettings& settings, res::UserInterface& ui,
                      QWidget* parent = nullptr);

protected:
    void accept() override;

private:
    void createControls();

    app::AppSettings& m_settings;
    res::UserInterface& m_ui;
    QCheckBox* m_todayOpen = nullptr;
    QCheckBox* m_imeEnable = nullptr;
    QLineEdit* m_todayRange = nullptr;
    QRadioButton* m_focusTitle = nullptr;
    QRadioButton* m_focusText = nullptr;
};

}  // namespace tl::frame
