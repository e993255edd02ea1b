#pragma once

#include <QPointer>

#include "operation_scope.h"
#include "res/user_interface.h"

class QWidget;

namespace tl::frame {

class CProgressWnd;

// The desktop's way of telling and asking: message boxes titled with the
// program's name over the active window, and the progress window. The one
// place that chooses icons, buttons and default answers.
class DesktopUi final : public res::UserInterface {
public:
    using UserInterface::inform;
    using UserInterface::warn;

    DesktopUi();
    ~DesktopUi() override;

    // The window message boxes and the progress window belong to when no
    // dialog is active; may be null before the main window exists.
    void setMainWindow(QWidget* window) { m_main = window; }

    void warn(std::string_view text) override;
    void inform(std::string_view text) override;
    bool askYesNo(std::string_view text) override;
    res::Answer askYesNoCancel(std::string_view text) override;
    bool askOkCancel(std::string_view text) override;
    void openProgress(std::string_view title) override;
    bool stepProgress(int percent) override;
    void closeProgress() override;
    // Lets events through while the progress window is up, or while an
    // operation of a command runs (OperationScope); else does nothing.
    void keepAlive() override;

private:
    QWidget* owner() const;

    QPointer<QWidget> m_main;
    // Owned here; a QPointer because the main window, its parent, may go first.
    QPointer<CProgressWnd> m_progress;
    EventPump m_pump;
};

}  // namespace tl::frame
