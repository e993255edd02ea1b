#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace tl::widgets {

// The application object of the desktop program. No exception may unwind
// through Qt's event loop: one that escapes an event handler or a slot is
// caught here, handed to the failure handler (which tells the user) and the
// program goes on. Commands report their own failures first (the command
// registry); this catches what a context menu, a timer or a drop raised.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);

    void setFailureHandler(std::function<void(std::exception_ptr)> handler) {
        m_failure = std::move(handler);
    }
    // The running instance, or nullptr when the application is a plain one.
    static GuardedApplication* instance();

    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::function<void(std::exception_ptr)> m_failure;
};

}  // namespace tl::widgets
