#pragma once

#include <QPoint>

class QAction;
class QMenu;

namespace tl::widgets {

// Runs a menu opened by the mouse. The item that shows under the pointer
// when the menu opens is made the current one, so that Return chooses it
// instead of being swallowed by a menu with no current item. Returns the
// chosen action, or nullptr.
QAction* ExecPopupMenu(QMenu& menu, QPoint globalPos);

}  // namespace tl::widgets
