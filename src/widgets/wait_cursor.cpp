#include "widgets/wait_cursor.h"

#include <QApplication>

namespace tl::widgets {

WaitCursor::WaitCursor() {
    SetWaitCursor(true);
}

WaitCursor::~WaitCursor() {
    SetWaitCursor(false);
}

void SetWaitCursor(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

}  // namespace tl::widgets
