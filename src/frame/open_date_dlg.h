#pragma once

#include <QDialog>

#include "res/user_interface.h"
#include "store/records.h"

class QLineEdit;

namespace tl::frame {

// Open: the date of the entry to open, year, month and day; an empty day
// opens the month note, an empty month and day the year note.
class CSpecifyDateDlg : public QDialog {
    Q_OBJECT

public:
    CSpecifyDateDlg(store::Date preset, res::UserInterface& ui, QWidget* parent = nullptr);
    store::Date date() const { return m_date; }

protected:
    void accept() override;

private:
    void createControls();

    res::UserInterface& m_ui;
    QLineEdit* m_year = nullptr;
    QLineEdit* m_month = nullptr;
    QLineEdit* m_day = nullptr;
    store::Date m_date;
};

}  // namespace tl::frame
