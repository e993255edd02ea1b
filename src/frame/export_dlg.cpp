#include "export_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "exchange_fields.h"
#include "widgets/dialog_parts.h"

namespace tl::frame {

using app::ExportField;
using widgets::NumberEdit;
using widgets::StartCancelButtons;

namespace {

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

std::string text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

}  // namespace

CExportDlg::~CExportDlg() = default;

CExportDlg::CExportDlg(const app::ExportForm& form, res::UserInterface& ui, QWidget* parent)
    : QDialog(parent), m_ui(ui) {
    setWindowTitle(tr("Export"));
    createControls();
    m_folder->setText(qText(form.folder));
    m_texts->setChecked(form.texts);
    m_attachments->setChecked(form.attachments);
    m_encoding->setEncoding(form.encoding);
    m_specify->setChecked(form.specify);
    const exchange::DateFields* dates[] = {&form.from, &form.to};
    for (int end = 0; end < 2; ++end) {
        m_dates[end * 3 + 0]->setText(qText(dates[end]->month));
        m_dates[end * 3 + 1]->setText(qText(dates[end]->day));
        m_dates[end * 3 + 2]->setText(qText(dates[end]->year));
    }
    updateEnabling();
    m_folder->setFocus();
    m_folder->selectAll();
}

void CExportDlg::createControls() {
    m_folder = new QLineEdit(this);
    // The row first, so that Tab goes from the folder to its picker.
    QHBoxLayout* folderRow = FolderRow(tr("&Folder"), m_folder, m_folder, tr("&Browse..."), this);

    auto* target = new QGroupBox(tr("Target"), this);
    m_texts = new QCheckBox(tr("&Text"), target);
    m_attachments = new QCheckBox(tr("&Attached file"), target);
    auto* targetLayout = new QVBoxLayout(target);
    targetLayout->addWidget(m_texts);
    targetLayout->addWidget(m_attachments);
    targetLayout->addStretch();

    m_encoding = std::make_unique<EncodingChoice>(Qt::Vertical, this);

    auto* term = new QGroupBox(tr("Term"), this);
    m_specify = new QCheckBox(tr("S&pecify"), term);
    const auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    // The dates with their labels, greyed together while not specified.
    m_dateFields = new QWidget(term);
    auto* dates = new QGridLayout(m_dateFields);
    dates->setContentsMargins(0, 0, 0, 0);
    const QString labels[] = {tr("Start date"), tr("End date")};
    for (int end = 0; end < 2; ++end) {
        dates->addWidget(new QLabel(labels[end], m_dateFields), end, 0);
        int column = 1;
        for (int part = 0; part < 3; ++part) {
            QLineEdit*& edit = m_dates[static_cast<std::size_t>(end * 3 + part)];
            edit = NumberEdit(part == 2 ? 4 : 2, m_dateFields);
            edit->setValidator(digits);
            edit->setPlaceholderText(part == 0 ? tr("MM") : part == 1 ? tr("DD") : tr("YYYY"));
            dates->addWidget(edit, end, column++);
            if (part < 2)
                dates->addWidget(new QLabel(QStringLiteral("/"), m_dateFields), end, column++);
        }
    }
    dates->setColumnStretch(6, 1);
    auto* termLayout = new QVBoxLayout(term);
    termLayout->addWidget(m_specify);
    termLayout->addWidget(m_dateFields);

    auto* choices = new QHBoxLayout;
    choices->addWidget(target, 1);
    choices->addWidget(m_encoding->group(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(folderRow);
    layout->addLayout(choices);
    layout->addWidget(term);
    layout->addWidget(StartCancelButtons(this));

    connect(m_texts, &QCheckBox::toggled, this, &CExportDlg::updateEnabling);
    connect(m_specify, &QCheckBox::toggled, this, &CExportDlg::updateEnabling);
}

void CExportDlg::updateEnabling() {
    m_encoding->group()->setEnabled(m_texts->isChecked());
    m_dateFields->setEnabled(m_specify->isChecked());
}

QLineEdit* CExportDlg::field(ExportField which) const {
    if (which == ExportField::Folder) return m_folder;
    return m_dates.at(static_cast<std::size_t>(which) - 1);
}

app::ExportForm CExportDlg::form() const {
    app::ExportForm form;
    form.folder = text(m_folder);
    form.texts = m_texts->isChecked();
    form.attachments = m_attachments->isChecked();
    form.encoding = m_encoding->encoding();
    form.specify = m_specify->isChecked();
    form.from = {text(field(ExportField::FromYear)), text(field(ExportField::FromMonth)),
                 text(field(ExportField::FromDay))};
    form.to = {text(field(ExportField::ToYear)), text(field(ExportField::ToMonth)),
               text(field(ExportField::ToDay))};
    return form;
}

void CExportDlg::accept() {
    const app::ExportCheck checked = app::CheckExportForm(form());
    m_folder->setText(qText(checked.folderText));
    if (checked.error) {
        m_ui.warn(*checked.error);
        QLineEdit* wrong = field(checked.field);
        wrong->setFocus();
        wrong->selectAll();
        return;
    }
    m_request = checked.request;
    QDialog::accept();
}

}  // namespace tl::frame
