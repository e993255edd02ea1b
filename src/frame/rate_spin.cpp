#include "rate_spin.h"

#include <QLineEdit>

#include "appearance.h"
#include "widgets/field_number.h"
#include "widgets/scale.h"

namespace tl::frame {

CRateSpin::CRateSpin(QWidget* parent) : QAbstractSpinBox(parent) {
    lineEdit()->setMaxLength(3);
    lineEdit()->setInputMethodHints(Qt::ImhDigitsOnly);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setFixedWidth(widgets::Scale(58));
}

QString CRateSpin::text() const {
    return lineEdit()->text();
}

void CRateSpin::setText(const QString& text) {
    lineEdit()->setText(text);
}

void CRateSpin::stepBy(int steps) {
    int value = widgets::ReadFieldNumber(text().toStdU16String());
    for (int i = 0; i < std::abs(steps); ++i) value = StepRate(value, steps > 0);
    setText(QString::number(value));
    lineEdit()->selectAll();
}

// Anything may be typed; the dialog's OK judges it.
QValidator::State CRateSpin::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled CRateSpin::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

}  // namespace tl::frame
