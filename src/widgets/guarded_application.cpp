#include "guarded_application.h"

namespace tl::widgets {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

GuardedApplication* GuardedApplication::instance() {
    return dynamic_cast<GuardedApplication*>(QCoreApplication::instance());
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (m_failure) m_failure(std::current_exception());
        return false;
    }
}

}  // namespace tl::widgets
