#include "app_icon.h"

#include <gtest/gtest.h>

#include <QImage>

namespace tl::frame {
namespace {

TEST(AppIconTest, EverySizeIsDrawnWithTransparentCornersAndAnOpaqueMiddle) {
    const QIcon icon = makeAppIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 32, 256}) {
        ASSERT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size)) << size;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size;
    }
}

}  // namespace
}  // namespace tl::frame
