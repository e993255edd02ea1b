#include "old_data_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/old_version.h"
#include "exchange_fields.h"
#include "widgets/dialog_parts.h"

namespace tl::frame {

namespace {

QString Label(res::Msg id) {
    const std::string_view t = res::Text(id);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

}  // namespace

COldDataDlg::COldDataDlg(const std::string& folder, res::UserInterface& ui, QWidget* parent)
    : QDialog(parent), m_ui(ui) {
    setWindowTitle(Label(res::Msg::ConvertOldDiaryData));
    m_location = new QLineEdit(QString::fromStdString(folder), this);
    m_location->setMinimumWidth(320);
    QHBoxLayout* row = FolderRow(Label(res::Msg::ConvertLocation), m_location, m_location,
                                 Label(res::Msg::ConvertBrowse), this);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(row);
    layout->addWidget(widgets::StartCancelButtons(this));
    m_location->setFocus();
    m_location->selectAll();
}

void COldDataDlg::accept() {
    const std::optional<std::string> folder = CheckedFolder(m_location, m_ui);
    if (!folder) return;
    if (!app::HasOldDataFiles(*folder)) {
        m_ui.warn(res::Msg::OldDataNotFoundInFolder);
        m_location->setFocus();
        m_location->selectAll();
        return;
    }
    m_folder = *folder;
    QDialog::accept();
}

}  // namespace tl::frame
