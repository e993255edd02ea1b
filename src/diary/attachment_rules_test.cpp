#include "attachment_rules.h"

#include <gtest/gtest.h>

namespace tl::diary {
namespace {

TEST(AttachmentRulesTest, NewNumbersFollowTheFileNotTheShownList) {
    const std::uint32_t none[] = {0};
    EXPECT_EQ(NextAttachmentOrder(0, std::span<const std::uint32_t>()), 1u);
    const std::uint32_t shown[] = {1, 2, 4};
    EXPECT_EQ(NextAttachmentOrder(4, shown), 5u);
    // Attachment 7 is stored but could not be read, so it is not shown.
    EXPECT_EQ(NextAttachmentOrder(7, shown), 8u);
    // Shown but no longer stored (deleted elsewhere meanwhile).
    EXPECT_EQ(NextAttachmentOrder(2, shown), 5u);
    EXPECT_EQ(NextAttachmentOrder(0, none), 1u);
}

TEST(AttachmentRulesTest, TooltipsAndTheDeleteQuestion) {
    store::AttachmentInfo info;
    info.name = u"日記 photo.jpg";
    info.originalSize = 10'000'000 - 1;
    info.compressed = true;
    info.storedSize = 1234;
    EXPECT_EQ(AttachmentTooltip(info),
              "日記 photo.jpg\n Original size: 9,999,999 Bytes\n Compressed size: 1,234 Bytes");
    info.compressed = false;
    info.originalSize = 999;
    EXPECT_EQ(AttachmentTooltip(info), "日記 photo.jpg\n Size: 999 Bytes");
    EXPECT_EQ(DeleteAttachmentsQuestion(1), "Do you want to delete selected attached file?");
    EXPECT_EQ(DeleteAttachmentsQuestion(2), "Do you want to delete selected attached files?");
}

}  // namespace
}  // namespace tl::diary
