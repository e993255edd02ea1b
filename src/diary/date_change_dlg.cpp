#include "date_change_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "res/user_interface.h"
#include "widgets/dialog_parts.h"

namespace tl::diary {
namespace {

QLineEdit* NumberEdit(int maxLength, int number, bool enabled, QWidget* parent) {
    QLineEdit* edit = widgets::NumberEdit(maxLength, parent);
    edit->setValidator(new QIntValidator(0, maxLength == 4 ? 9999 : 99, edit));
    edit->setEnabled(enabled);
    if (enabled) edit->setText(QString::number(number));
    return edit;
}

}  // namespace

CDateChangeDlg::CDateChangeDlg(store::Date current, res::UserInterface& ui,
                               std::function<bool(store::Date)> accept, QWidget* parent)
    : QDialog(parent), m_current(current), m_ui(ui), m_accept(std::move(accept)) {
    setWindowTitle(tr("Save as"));
    auto* group = new QGroupBox(tr("New date"), this);
    m_month = NumberEdit(2, current.month, current.month != 0, group);
    m_day = NumberEdit(2, current.day, current.day != 0, group);
    m_year = NumberEdit(4, current.year, true, group);
    auto* row = new QHBoxLayout(group);
    row->addWidget(m_month);
    row->addWidget(new QLabel(QStringLiteral("-"), group));
    row->addWidget(m_day);
    row->addWidget(new QLabel(QStringLiteral("-"), group));
    row->addWidget(m_year);
    row->addStretch();
    QDialogButtonBox* buttons = widgets::OkCancelButtons(this, [this] { tryAccept(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void CDateChangeDlg::setFields(const QString& year, const QString& month, const QString& day) {
    m_year->setText(year);
    if (m_month->isEnabled()) m_month->setText(month);
    if (m_day->isEnabled()) m_day->setText(day);
}

QLineEdit* CDateChangeDlg::field(DateField which) const {
    switch (which) {
        case DateField::Month:
            return m_month;
        case DateField::Day:
            return m_day;
        default:
            return m_year;
    }
}

bool CDateChangeDlg::tryAccept() {
    DateCheck check =
        CheckEntryDate(m_year->text().toStdU16String(), m_month->text().toStdU16String(),
                       m_day->text().toStdU16String(), m_current.month != 0, m_current.day != 0);
    if (check.error) {
        m_ui.warn(*check.error);
        QLineEdit* edit = field(check.field);
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    if (m_accept && !m_accept(check.date)) return false;
    m_chosen = check.date;
    accept();
    return true;
}

}  // namespace tl::diary
