#include "data_file_settings_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include "widgets/dialog_parts.h"
#include "widgets/scale.h"

namespace tl::frame {

using widgets::Scale;

namespace {

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

void fillFolders(QComboBox* box, const std::string& location, const app::LocationHistory& history) {
    for (const std::string& choice : app::DataFileSettingsForm::Choices(location, history))
        box->addItem(qText(choice));
    box->setCurrentIndex(0);
}

}  // namespace

CDataFileSettingsDlg::CDataFileSettingsDlg(app::DataFileSettingsForm form, res::UserInterface& ui,
                                           DefaultFolder defaultFolder, QWidget* parent)
    : QDialog(parent),
      m_form(std::move(form)),
      m_ui(ui),
      m_defaultFolder(std::move(defaultFolder)) {
    setWindowTitle(tr("Data file settings"));
    createControls();
    m_autoBackup->setChecked(m_form.autoBackup == 1);
    (m_form.fileDefault == 1 ? m_data.byDefault : m_data.following)->setChecked(true);
    (m_form.backupDefault == 1 ? m_backup.byDefault : m_backup.following)->setChecked(true);
    fillFolders(m_data.folders, m_form.fileFolder, m_form.fileHistory);
    fillFolders(m_backup.folders, m_form.backupFolder, m_form.backupHistory);
    updateEnabling();
}

QGroupBox* CDataFileSettingsDlg::createGroup(const QString& title, const QString& defaultText,
                                             FolderRow& row, bool tellFirst) {
    auto* group = new QGroupBox(title, this);
    row.byDefault = new QRadioButton(defaultText, group);
    row.following = new QRadioButton(tr("Following folder"), group);
    row.folders = new QComboBox(group);
    row.folders->setEditable(true);
    row.folders->setInsertPolicy(QComboBox::NoInsert);
    row.folders->setMinimumWidth(Scale(300));
    row.browse = new QPushButton(tr("Browse..."), group);
    auto* open = new QPushButton(tr("Open folder"), group);
    auto* choice = new QButtonGroup(group);
    choice->addButton(row.byDefault);
    choice->addButton(row.following);

    auto* grid = new QGridLayout(group);
    grid->addWidget(row.byDefault, 0, 0, 1, 2);
    grid->addWidget(open, 0, 2);
    grid->addWidget(row.following, 1, 0, 1, 3);
    grid->addWidget(row.folders, 2, 0, 1, 2);
    grid->addWidget(row.browse, 2, 2);
    grid->setColumnStretch(0, 1);

    connect(row.following, &QRadioButton::toggled, this, &CDataFileSettingsDlg::updateEnabling);
    QComboBox* folders = row.folders;
    connect(row.browse, &QPushButton::clicked, this, [this, folders] { browse(folders); });
    connect(open, &QPushButton::clicked, this,
            [this, &row, tellFirst] { openFolder(row, tellFirst); });
    return group;
}

void CDataFileSettingsDlg::createControls() {
    QGroupBox* location =
        createGroup(tr("Location"), tr("Application data folder(Default)"), m_data, true);
    m_autoBackup = new QCheckBox(tr("Use automatic backup"), this);
    m_backupGroup = createGroup(tr("Backup location"),
                                tr("Application data folder(not recommended)"), m_backup, false);
    connect(m_autoBackup, &QCheckBox::toggled, this, &CDataFileSettingsDlg::updateEnabling);

    QDialogButtonBox* buttons = widgets::OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(location);
    layout->addWidget(m_autoBackup);
    layout->addWidget(m_backupGroup);
    layout->addWidget(buttons);
}

void CDataFileSettingsDlg::updateEnabling() {
    const bool dataFollowing = m_data.following->isChecked();
    m_data.folders->setEnabled(dataFollowing);
    m_data.browse->setEnabled(dataFollowing);
    m_backupGroup->setEnabled(m_autoBackup->isChecked());
    const bool backupFollowing = m_backup.following->isChecked();
    m_backup.folders->setEnabled(backupFollowing);
    m_backup.browse->setEnabled(backupFollowing);
}

void CDataFileSettingsDlg::browse(QComboBox* folders) {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, tr("Browse..."), folders->currentText().trimmed());
    if (!chosen.isEmpty())
        folders->setEditText(QDir::toNativeSeparators(chosen) + QDir::separator());
}

void CDataFileSettingsDlg::openFolder(const FolderRow& row, bool tellFirst) {
    if (tellFirst) m_ui.inform(res::Msg::ExitBeforeManipulating);
    QString folder;
    if (row.byDefault->isChecked()) {
        const std::optional<std::string> byDefault =
            m_defaultFolder ? m_defaultFolder() : std::nullopt;
        if (!byDefault) {
            m_ui.warn(res::Msg::FolderCanNotBeOpened);
            return;
        }
        folder = qText(*byDefault);
    } else {
        folder = row.folders->currentText().trimmed();
        if (folder.isEmpty()) return;
        if (!QFileInfo(folder).isDir()) {
            m_ui.warn(res::Msg::FolderNameIncorrect);
            row.folders->setFocus();
            return;
        }
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        m_ui.warn(res::Msg::FolderCanNotBeOpened);
}

void CDataFileSettingsDlg::readBack() {
    m_form.autoBackup = m_autoBackup->isChecked() ? 1 : 0;
    m_form.fileDefault = m_data.byDefault->isChecked() ? 1 : 0;
    m_form.backupDefault = m_backup.byDefault->isChecked() ? 1 : 0;
    m_form.fileFolder = m_data.folders->currentText().toStdString();
    m_form.backupFolder = m_backup.folders->currentText().toStdString();
}

void CDataFileSettingsDlg::accept() {
    readBack();
    const std::optional<app::FormField> wrong = app::CheckDataFileSettings(m_form, m_ui);
    // The checked texts come back with one trailing separator.
    m_data.folders->setEditText(qText(m_form.fileFolder));
    m_backup.folders->setEditText(qText(m_form.backupFolder));
    if (wrong) {
        QComboBox* box = *wrong == app::FormField::DataFolder ? m_data.folders : m_backup.folders;
        box->setFocus();
        box->lineEdit()->selectAll();
        return;
    }
    QDialog::accept();
}

}  // namespace tl::frame
