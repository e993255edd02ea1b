#include "popup_menu.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

namespace tl::widgets {
namespace {

// Presses a key in the open popup once it shows; the timer goes with the menu.
void PressInPopup(QMenu& menu, int key) {
    auto* timer = new QTimer(&menu);
    QObject::connect(timer, &QTimer::timeout, [timer, key] {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup || !popup->isVisible()) return;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(popup, &press);
        timer->deleteLater();
    });
    timer->start(5);
}

TEST(PopupMenuTest, ReturnChoosesTheItemUnderThePointer) {
    QMenu menu;
    QAction* first = menu.addAction("First");
    menu.addAction("Second");
    const QPoint at(200, 200);
    QCursor::setPos(at + QPoint(5, 5));
    PressInPopup(menu, Qt::Key_Return);
    PressInPopup(menu, Qt::Key_Escape);  // closes a menu that ignored Return
    EXPECT_EQ(ExecPopupMenu(menu, at), first);
}

TEST(PopupMenuTest, AGreyedItemUnderThePointerIsNotChosen) {
    QMenu menu;
    menu.addAction("Greyed")->setEnabled(false);
    menu.addAction("Second");
    const QPoint at(200, 200);
    QCursor::setPos(at + QPoint(5, 5));
    PressInPopup(menu, Qt::Key_Return);
    PressInPopup(menu, Qt::Key_Escape);
    EXPECT_EQ(ExecPopupMenu(menu, at), nullptr);
}

}  // namespace
}  // namespace tl::widgets
