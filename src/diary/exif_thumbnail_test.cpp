#include "exif_thumbnail.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/exif_sample.h"

namespace tl::diary {
namespace {

// A photo's markers without image data: start, a quantisation table
// segment, a frame header of 4000 x 3000, start of scan.
const std::vector<std::uint8_t> kPhoto = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x04, 0x01, 0x02,
                                          0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x0B, 0xB8, 0x0F,
                                          0xA0, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xDA, 0x00};
const std::vector<std::uint8_t> kPreview = {0xFF, 0xD8, 0xAA, 0xBB, 0xCC, 0xFF, 0xD9};

TEST(JpegPreviewTest, FoundInEitherByteOrderWithOrientationAndFrame) {
    for (bool big : {false, true}) {
        const auto file = testing::WithExifPreview(kPhoto, kPreview, 6, big);
        const auto found = FindJpegPreview(file);
        ASSERT_TRUE(found) << big;
        EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + found->offset,
                                            file.begin() + found->offset + found->length),
                  kPreview);
        EXPECT_EQ(found->orientation, 6);
        EXPECT_EQ(found->frameWidth, 4000);
        EXPECT_EQ(found->frameHeight, 3000);
    }
}

TEST(JpegPreviewTest, APrefixWithoutTheFrameStillGivesThePreview) {
    const auto file = testing::WithExifPreview(kPhoto, kPreview, 1);
    const std::size_t exifEnd = file.size() - (kPhoto.size() - 2);
    const auto found = FindJpegPreview(std::span(file).first(exifEnd));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->frameWidth, 0);
    EXPECT_FALSE(FindJpegPreview(std::span(file).first(exifEnd - 3))) << "preview cut short";
}

TEST(JpegPreviewTest, DamagedOrMissingBlocksGiveNothingAndReadNothingOutside) {
    EXPECT_FALSE(FindJpegPreview(kPhoto));
    EXPECT_FALSE(FindJpegPreview(std::vector<std::uint8_t>{0x89, 'P', 'N', 'G'}));
    EXPECT_FALSE(FindJpegPreview({}));
    const auto good = testing::WithExifPreview(kPhoto, kPreview, 3);
    // Every byte of the Exif block changed in turn, and every length cut:
    // a clean answer each time (the sanitizers watch the reads).
    const std::size_t exifEnd = good.size() - (kPhoto.size() - 2);
    for (std::size_t i = 2; i < exifEnd; ++i) {
        for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF}, std::uint8_t{0x7F}}) {
            auto bad = good;
            bad[i] = value;
            if (const auto found = FindJpegPreview(bad)) {
                EXPECT_LE(found->offset + found->length, bad.size());
                EXPECT_GE(found->orientation, 1);
                EXPECT_LE(found->orientation, 8);
            }
        }
        (void)FindJpegPreview(std::span(good).first(i));
    }
}

}  // namespace
}  // namespace tl::diary
