#include "other_settings_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/startup.h"
#include "widgets/dialog_parts.h"

namespace tl::frame {

using widgets::NumberEdit;
using widgets::OkCancelButtons;

COtherSettingsDlg::COtherSettingsDlg(app::AppSettings& settings, res::UserInterface& ui,
                                     QWidget* parent)
    : QDialog(parent), m_settings(settings), m_ui(ui) {
    setWindowTitle(tr("Other Settings"));
    createControls();
    m_todayOpen->setChecked(settings.etc.todayOpen == 1);
    m_imeEnable->setChecked(settings.etc.imeEnable == 1);
    m_todayRange->setText(QString::number(settings.etc.todayRange));
    (settings.etc.firstFocusTitle != 0 ? m_focusTitle : m_focusText)->setChecked(true);
}

void COtherSettingsDlg::createControls() {
    m_todayOpen = new QCheckBox(tr("Open today's diary at start-up"), this);
    m_imeEnable = new QCheckBox(tr("Activate IME at start-up"), this);
    m_todayRange = NumberEdit(2, this);
    auto* hourRow = new QHBoxLayout;
    hourRow->addWidget(new QLabel(tr("The next morning until"), this));
    hourRow->addWidget(m_todayRange);
    hourRow->addWidget(new QLabel(tr(":00 it is today"), this));
    hourRow->addStretch();

    auto* focus = new QGroupBox(tr("Initial focus"), this);
    m_focusTitle = new QRadioButton(tr("Title"), focus);
    m_focusText = new QRadioButton(tr("Text"), focus);
    auto* focusLayout = new QHBoxLayout(focus);
    focusLayout->addWidget(m_focusTitle);
    focusLayout->addWidget(m_focusText);
    focusLayout->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_todayOpen);
    layout->addWidget(m_imeEnable);
    layout->addLayout(hourRow);
    layout->addWidget(focus);
    layout->addWidget(OkCancelButtons(this));
}

void COtherSettingsDlg::accept() {
    const std::optional<int> hour =
        app::ParseTodayRange(m_todayRange->text().trimmed().toStdString(), m_ui);
    if (!hour) {
        m_todayRange->setFocus();
        m_todayRange->selectAll();
        return;
    }
    // The separator, view-mode and auto-close options have no controls
    // here and stay as they are.
    m_settings.etc.todayOpen = m_todayOpen->isChecked() ? 1 : 0;
    m_settings.etc.imeEnable = m_imeEnable->isChecked() ? 1 : 0;
    m_settings.etc.todayRange = *hour;
    m_settings.etc.firstFocusTitle = m_focusTitle->isChecked() ? 1 : 0;
    QDialog::accept();
}

}  // namespace tl::frame
