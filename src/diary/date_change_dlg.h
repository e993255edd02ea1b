#pragma once

// "Save as": the new date of an entry. The fields the entry's kind lacks
// are empty and disabled.

#include <QDialog>
#include <functional>

#include "date_checks.h"
#include "store/records.h"

class QLineEdit;

namespace tl::res {
class UserInterface;
}

namespace tl::diary {

class CDateChangeDlg : public QDialog {
    Q_OBJECT

public:
    // accept is asked about a date that passed the field checks; answering
    // false keeps the dialog open (it has told the user why).
    CDateChangeDlg(store::Date current, res::UserInterface& ui,
                   std::function<bool(store::Date)> accept, QWidget* parent = nullptr);

    store::Date chosenDate() const { return m_chosen; }
    void setFields(const QString& year, const QString& month, const QString& day);
    // The OK button: checks and closes when the date is accepted.
    bool tryAccept();

private:
    QLineEdit* field(DateField which) const;

    store::Date m_current;
    store::Date m_chosen;
    res::UserInterface& m_ui;
    std::function<bool(store::Date)> m_accept;
    QLineEdit* m_year;
    QLineEdit* m_month;
    QLineEdit* m_day;
};

}  // namespace tl::diary
