#include "year_month_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/dialog_parts.h"
#include "year_month_checks.h"

namespace tl::calendar {

CSpecifyYearMonthDlg::CSpecifyYearMonthDlg(int year, int month, res::UserInterface& ui,
                                           QWidget* parent)
    : QDialog(parent), m_ui(ui), m_year(year), m_month(month) {
    setWindowTitle(tr("Open"));
    createControls();
    m_yearEdit->setText(QString::fromStdU16String(yearMonthFieldText(year)));
    m_monthEdit->setText(QString::fromStdU16String(yearMonthFieldText(month)));
    m_monthEdit->setFocus();
    m_monthEdit->selectAll();
}

void CSpecifyYearMonthDlg::createControls() {
    m_monthEdit = new QLineEdit(this);
    m_monthEdit->setObjectName(QStringLiteral("month"));
    m_monthEdit->setMaxLength(2);
    m_yearEdit = new QLineEdit(this);
    m_yearEdit->setObjectName(QStringLiteral("year"));
    m_yearEdit->setMaxLength(4);
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    m_monthEdit->setFixedWidth(digit * 4);
    m_yearEdit->setFixedWidth(digit * 6);
    auto* row = new QHBoxLayout;
    row->addWidget(m_monthEdit);
    row->addWidget(new QLabel(QStringLiteral("-"), this));
    row->addWidget(m_yearEdit);
    row->addWidget(new QLabel(tr("month"), this));
    QDialogButtonBox* buttons = widgets::OkCancelButtons(this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

void CSpecifyYearMonthDlg::accept() {
    const YearMonthCheck checked =
        checkYearMonth(m_yearEdit->text().toStdU16String(), m_monthEdit->text().toStdU16String());
    if (checked.error) {
        m_ui.warn(*checked.error);
        QLineEdit* edit = checked.field == YearMonthField::Year ? m_yearEdit : m_monthEdit;
        edit->setFocus();
        edit->selectAll();
        return;
    }
    m_year = checked.year;
    m_month = checked.month;
    QDialog::accept();
}

}  // namespace tl::calendar
