#pragma once

#include <QDialog>

#include "operation_scope.h"

class QProgressBar;
class QPushButton;

namespace tl::frame {

// The small window of one long operation: its title, a bar from 0 to 100
// and "Cancel". Application-modal, so clicks and keys aimed at other
// windows are refused while the operation runs; paint and timer events go
// on because step() pumps the event loop. The cancel request only rises.
// While it is up the pointer shows that the program is busy but answers.
class CProgressWnd : public QDialog {
    Q_OBJECT

public:
    CProgressWnd(const QString& title, QWidget* owner);
    ~CProgressWnd() override;

    // Shows percent (0-100) and lets the program breathe (see EventPump).
    // False once the user asked to cancel.
    [[nodiscard]] bool step(int percent);
    // Lets the program breathe without a new percentage.
    void keepAlive() { m_pump.pump(); }
    bool cancelled() const { return m_cancelled; }

protected:
    // Esc and the window's close button mean Cancel, never a silent close.
    void reject() override;

private:
    void createControls();

    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_cancelled = false;
    EventPump m_pump;
};

}  // namespace tl::frame
