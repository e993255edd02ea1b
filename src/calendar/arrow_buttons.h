#pragma once

// The side bar's own small buttons: the calendar's arrows, drawn over the
// header without a background, and the day list's month page buttons.

#include <QAbstractButton>

#include "arrow_shapes.h"

namespace tl::calendar {

// An arrow button that knows whether the pointer is over it. It takes no
// focus: the calendar and the list have keys for what it does.
class CArrowButton : public QAbstractButton {
public:
    CArrowButton(ArrowDirection direction, const QString& tip, QWidget* parent);

protected:
    ArrowDirection direction() const { return m_direction; }
    bool hovered() const { return m_hovered; }
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ArrowDirection m_direction;
    bool m_hovered = false;
};

class CCalenderButton : public CArrowButton {
public:
    using CArrowButton::CArrowButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CScrollBtn : public CArrowButton {
public:
    using CArrowButton::CArrowButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tl::calendar
