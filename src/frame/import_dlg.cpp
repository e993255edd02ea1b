#include "import_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "exchange_fields.h"
#include "help_location.h"
#include "widgets/dialog_parts.h"

namespace tl::frame {

CImportDlg::CImportDlg(const app::ImportForm& form, res::UserInterface& ui, QWidget* parent)
    : QDialog(parent), m_ui(ui) {
    setWindowTitle(tr("Import"));
    createControls();
    m_location->setText(QString::fromStdString(form.folder));
    m_encoding->setEncoding(form.encoding);
    m_location->setFocus();
    m_location->selectAll();
}

CImportDlg::~CImportDlg() = default;

void CImportDlg::createControls() {
    m_location = new QLineEdit(this);
    QHBoxLayout* folderRow =
        FolderRow(tr("&Location"), m_location, m_location, tr("&Brouse..."), this);
    m_encoding = std::make_unique<EncodingChoice>(Qt::Horizontal, this);

    // The guide describes the folder layout that other programs' data can
    // be converted to.
    auto* others = new QPushButton(tr("Import from &other apps"), this);
    others->setAutoDefault(false);
    connect(others, &QPushButton::clicked, this, [this] { OpenUserGuide(m_ui); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(others);
    bottom->addStretch();
    bottom->addWidget(widgets::StartCancelButtons(this));

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(folderRow);
    layout->addWidget(m_encoding->group());
    layout->addLayout(bottom);
}

exchange::Encoding CImportDlg::encoding() const {
    return m_encoding->encoding();
}

void CImportDlg::accept() {
    const std::optional<std::string> folder = CheckedFolder(m_location, m_ui);
    if (!folder) return;
    m_folder = *folder;
    QDialog::accept();
}

}  // namespace tl::frame
