#include "merge_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "exchange_fields.h"
#include "widgets/dialog_parts.h"

namespace tl::frame {

using widgets::StartCancelButtons;

CMergeDlg::CMergeDlg(const app::MergeForm& form, res::UserInterface& ui, QWidget* parent)
    : QDialog(parent), m_ui(ui) {
    setWindowTitle(tr("Merge"));
    createControls();
    for (const std::string& choice : form.choices)
        m_folders->addItem(QString::fromStdString(choice));
    m_folders->setEditText(QString::fromStdString(form.folder));
    m_emptyAfter->setChecked(form.emptyAfter);
    m_folders->setFocus();
    m_folders->lineEdit()->selectAll();
}

void CMergeDlg::createControls() {
    m_folders = new QComboBox(this);
    m_folders->setEditable(true);
    m_folders->setInsertPolicy(QComboBox::NoInsert);
    // Enter always means Start: the inline completion would take the first
    // Enter for itself whenever the text is one of the remembered folders.
    m_folders->setCompleter(nullptr);
    QHBoxLayout* folderRow =
        FolderRow(tr("&Folder"), m_folders, m_folders->lineEdit(), tr("&Brouse..."), this);
    m_emptyAfter = new QCheckBox(tr("After the merge, &empty."), this);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(folderRow);
    layout->addWidget(m_emptyAfter);
    layout->addWidget(StartCancelButtons(this));
}

bool CMergeDlg::emptyAfter() const {
    return m_emptyAfter->isChecked();
}

void CMergeDlg::accept() {
    const std::optional<std::string> folder = CheckedFolder(m_folders->lineEdit(), m_ui);
    if (!folder) return;
    m_folder = *folder;
    QDialog::accept();
}

}  // namespace tl::frame
