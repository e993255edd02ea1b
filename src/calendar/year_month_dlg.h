#pragma once

// Open: the year and month the calendar and the day list show. Returns OK
// only with a year of 1900 or later and a month 1..12.

#include <QDialog>

#include "res/user_interface.h"

class QLineEdit;

namespace tl::calendar {

class CSpecifyYearMonthDlg : public QDialog {
    Q_OBJECT

public:
    // month 0: the month edit starts empty.
    CSpecifyYearMonthDlg(int year, int month, res::UserInterface& ui, QWidget* parent = nullptr);
    int year() const { return m_year; }
    int month() const { return m_month; }
    QLineEdit* yearEdit() const { return m_yearEdit; }
    QLineEdit* monthEdit() const { return m_monthEdit; }

protected:
    void accept() override;

private:
    void createControls();

    res::UserInterface& m_ui;
    QLineEdit* m_monthEdit = nullptr;
    QLineEdit* m_yearEdit = nullptr;
    int m_year;
    int m_month;
};

}  // namespace tl::calendar
