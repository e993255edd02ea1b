#pragma once

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace tl::frame {

// The small window of one long operation: its title, a bar from 0 to 100
// and "Cancel". Application-modal, so clicks and keys aimed at other
// windows are refused while the operation runs; paint and timer events go
// on because step() pumps the event loop. The cancel request only rises.
class CProgressWnd : public QDialog {
    Q_OBJECT

public:
    CProgressWnd(const QString& title, QWidget* owner);

    // Shows percent (0-100) and lets the program breathe; false once the
    // user asked to cancel.
    [[nodiscard]] bool step(int percent);
    bool cancelled() const { return m_cancelled; }

protected:
    // Esc and the window's close button mean Cancel, never a silent close.
    void reject() override;

private:
    void createControls();

    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_cancelled = false;
};

}  // namespace tl::frame
