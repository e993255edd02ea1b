#pragma once

// The side bar's own small buttons: the calendar's arrows, drawn over the
// header without a background, and the day list's month page buttons.

#include <QAbstractButton>

#include "arrow_shapes.h"

namespace tl::calendar {

class CCalenderButton : public QAbstractButton {
public:
    CCalenderButton(ArrowDirection direction, const QString& tip, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ArrowDirection m_direction;
    bool m_hovered = false;
};

class CScrollBtn : public QAbstractButton {
public:
    CScrollBtn(ArrowDirection direction, const QString& tip, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ArrowDirection m_direction;
    bool m_hot = false;
};

}  // namespace tl::calendar
