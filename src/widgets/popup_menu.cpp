#include "popup_menu.h"

#include <QCursor>
#include <QMenu>
#include <QTimer>

namespace tl::widgets {

QAction* ExecPopupMenu(QMenu& menu, QPoint globalPos) {
    QTimer::singleShot(0, &menu, [&menu] {
        if (!menu.isVisible() || menu.activeAction()) return;
        QAction* under = menu.actionAt(menu.mapFromGlobal(QCursor::pos()));
        if (under && under->isEnabled() && !under->isSeparator()) menu.setActiveAction(under);
    });
    return menu.exec(globalPos);
}

}  // namespace tl::widgets
