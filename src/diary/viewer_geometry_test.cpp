#include "viewer_geometry.h"

#include <gtest/gtest.h>

namespace tl::diary {
namespace {

const ViewerRect kWork{0, 0, 1920, 1080};

TEST(ViewerGeometryTest, LargePicturesFitTheWorkAreaKeepingTheirProportions) {
    const double fit = FitScale(4000, 3000, kWork, true);
    const ViewerPlacement p = PlaceViewer(4000, 3000, kWork, fit);
    EXPECT_EQ(p.shownHeight, 1078);
    EXPECT_EQ(p.shownWidth, 1437);
    EXPECT_EQ(p.window, (ViewerRect{240, 0, 1439, 1080}));
    // Wide and flat: the width decides.
    const ViewerPlacement wide = PlaceViewer(5000, 1000, kWork, FitScale(5000, 1000, kWork, true));
    EXPECT_EQ(wide.shownWidth, 1918);
    EXPECT_EQ(wide.shownHeight, 384);
    EXPECT_EQ(wide.window.top, (1080 - 386) / 2);
}

TEST(ViewerGeometryTest, SmallPicturesAndNoReductionKeepTheirSize) {
    EXPECT_EQ(FitScale(640, 480, kWork, true), 1.0);
    const ViewerPlacement small = PlaceViewer(640, 480, kWork, 1.0);
    EXPECT_EQ(small.window, (ViewerRect{(1920 - 642) / 2, (1080 - 482) / 2, 642, 482}));
    // Without reduction a large picture is shown at its size; the window
    // is the work area, at its edge on both axes.
    EXPECT_EQ(FitScale(4000, 3000, kWork, false), 1.0);
    const ViewerPlacement full = PlaceViewer(4000, 3000, ViewerRect{100, 30, 1920, 1050}, 1.0);
    EXPECT_EQ(full.window, (ViewerRect{100, 30, 1920, 1050}));
    EXPECT_EQ(full.shownWidth, 4000);
}

TEST(ViewerGeometryTest, ZoomStepsPassThroughTheFit) {
    const double fit = 0.35;
    EXPECT_EQ(NextZoom(fit, true, fit), 0.5);
    EXPECT_EQ(NextZoom(0.5, false, fit), fit);
    EXPECT_EQ(NextZoom(1.0, true, fit), 1.25);
    EXPECT_EQ(NextZoom(16.0, true, fit), 16.0);
    EXPECT_EQ(NextZoom(1.0 / 16, false, fit), 1.0 / 16);
    EXPECT_EQ(NextZoom(1.0, false, 1.0), 0.75);
}

}  // namespace
}  // namespace tl::diary
