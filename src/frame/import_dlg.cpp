#include "import_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "folder_field.h"
#include "help_location.h"
#include "widgets/dialog_parts.h"
#include "widgets/scale.h"

namespace tl::frame {

using widgets::BrowseButton;
using widgets::StartCancelButtons;

CImportDlg::CImportDlg(const app::ImportForm& form, res::UserInterface& ui, QWidget* parent)
    : QDialog(parent), m_ui(ui) {
    setWindowTitle(tr("Import"));
    createControls();
    m_location->setText(QString::fromStdString(form.folder));
    m_encodings.at(static_cast<std::size_t>(form.encoding))->setChecked(true);
    m_location->setFocus();
    m_location->selectAll();
}

void CImportDlg::createControls() {
    m_location = new QLineEdit(this);
    m_location->setMinimumWidth(widgets::Scale(320));
    auto* label = new QLabel(tr("&Location"), this);
    label->setBuddy(m_location);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(label);
    folderRow->addWidget(m_location, 1);
    folderRow->addWidget(BrowseButton(tr("&Brouse..."), m_location, this));

    auto* encoding = new QGroupBox(tr("Encode"), this);
    m_encodings = {new QRadioButton(tr("A&nsi"), encoding),
                   new QRadioButton(tr("&UNICODE"), encoding),
                   new QRadioButton(tr("&Rich text"), encoding)};
    auto* encodingLayout = new QHBoxLayout(encoding);
    for (QRadioButton* choice : m_encodings) encodingLayout->addWidget(choice);
    encodingLayout->addStretch();

    // The guide describes the folder layout that other programs' data can
    // be converted to.
    auto* others = new QPushButton(tr("Import from &other apps"), this);
    others->setAutoDefault(false);
    connect(others, &QPushButton::clicked, this, [this] { OpenUserGuide(m_ui); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(others);
    bottom->addStretch();
    bottom->addWidget(StartCancelButtons(this));

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(folderRow);
    layout->addWidget(encoding);
    layout->addLayout(bottom);
}

exchange::Encoding CImportDlg::encoding() const {
    for (std::size_t i = 0; i < m_encodings.size(); ++i)
        if (m_encodings[i]->isChecked()) return static_cast<exchange::Encoding>(i);
    return exchange::Encoding::Ansi;
}

void CImportDlg::accept() {
    const std::optional<std::string> folder = CheckedFolder(m_location, m_ui);
    if (!folder) return;
    m_folder = *folder;
    QDialog::accept();
}

}  // namespace tl::frame
