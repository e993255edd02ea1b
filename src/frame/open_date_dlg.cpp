#include "open_date_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "diary/date_checks.h"
#include "widgets/dialog_parts.h"

namespace tl::frame {

using widgets::NumberEdit;
using widgets::OkCancelButtons;

namespace {

QString fieldText(int value) {
    return value == 0 ? QString() : QString::number(value);
}

}  // namespace

CSpecifyDateDlg::CSpecifyDateDlg(store::Date preset, res::UserInterface& ui, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_date(preset) {
    setWindowTitle(tr("Open"));
    createControls();
    m_year->setText(fieldText(preset.year));
    m_month->setText(fieldText(preset.month));
    m_day->setText(fieldText(preset.day));
    m_day->setFocus();
    m_day->selectAll();
}

void CSpecifyDateDlg::createControls() {
    m_year = NumberEdit(4, this);
    m_month = NumberEdit(2, this);
    m_day = NumberEdit(2, this);
    const auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (QLineEdit* edit : {m_year, m_month, m_day}) edit->setValidator(digits);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Year"), this));
    row->addWidget(m_year);
    row->addWidget(new QLabel(tr("Month"), this));
    row->addWidget(m_month);
    row->addWidget(new QLabel(tr("Day"), this));
    row->addWidget(m_day);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(OkCancelButtons(this));
}

void CSpecifyDateDlg::accept() {
    const diary::DateCheck checked =
        diary::CheckOpenDate(m_year->text().toStdU16String(), m_month->text().toStdU16String(),
                             m_day->text().toStdU16String());
    if (checked.error) {
        m_ui.warn(*checked.error);
        QLineEdit* edit = checked.field == diary::DateField::Year    ? m_year
                          : checked.field == diary::DateField::Month ? m_month
                                                                     : m_day;
        edit->setFocus();
        edit->selectAll();
        return;
    }
    m_date = checked.date;
    QDialog::accept();
}

}  // namespace tl::frame
