#include "widgets/wait_cursor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <stdexcept>

namespace tl::widgets {
namespace {

bool Waiting() {
    return QApplication::overrideCursor() != nullptr &&
           QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

TEST(WaitCursorTest, NestsAndComesBackWhenAnExceptionLeavesTheScope) {
    ASSERT_FALSE(Waiting());
    try {
        WaitCursor outer;
        {
            WaitCursor inner;
            EXPECT_TRUE(Waiting());
        }
        EXPECT_TRUE(Waiting());  // the outer one still holds
        throw std::runtime_error("file error");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(WaitCursorTest, TurningOffWithoutOnLeavesOtherCursorsAlone) {
    SetWaitCursor(false);  // nothing to restore: no harm
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    QApplication::setOverrideCursor(Qt::CrossCursor);
    SetWaitCursor(true);
    EXPECT_TRUE(Waiting());
    SetWaitCursor(false);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();
}

}  // namespace
}  // namespace tl::widgets
