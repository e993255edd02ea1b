#include "widgets/qt_color.h"

#include <gtest/gtest.h>

namespace tl::widgets {
namespace {

TEST(QtColorTest, StoredColoursMapChannelByChannel) {
    const QColor c = ToQColor(0x00563412);
    EXPECT_EQ(c.red(), 0x12);
    EXPECT_EQ(c.green(), 0x34);
    EXPECT_EQ(c.blue(), 0x56);
    EXPECT_EQ(FromQColor(c), 0x00563412u);
    // The top byte is not a channel: it is dropped on the way in.
    EXPECT_EQ(FromQColor(ToQColor(0xFF0000FF)), 0x000000FFu);
}

}  // namespace
}  // namespace tl::widgets
