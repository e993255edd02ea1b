#include "operation_scope.h"

#include <QApplication>
#include <QEvent>

namespace tl::frame {

namespace {

int g_operations = 0;

bool IsUserInput(const QEvent& event) {
    switch (event.type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Drop:
        case QEvent::Close:
            return event.spontaneous();
        default:
            return false;
    }
}

}  // namespace

void EventPump::pump() {
    if (m_since.isValid() && m_since.elapsed() < kIntervalMs) return;
    QCoreApplication::processEvents();
    m_since.start();
}

OperationScope::OperationScope() {
    ++g_operations;
    qApp->installEventFilter(this);
}

OperationScope::~OperationScope() {
    --g_operations;
}

bool OperationScope::active() {
    return g_operations > 0;
}

// A modal window blocks the rest of the program by itself; without one
// the input is dropped here.
bool OperationScope::eventFilter(QObject*, QEvent* event) {
    return IsUserInput(*event) && !QApplication::activeModalWidget();
}

}  // namespace tl::frame
