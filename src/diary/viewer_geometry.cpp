#include "viewer_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tl::diary {
namespace {

// The window's frame: 1 pixel round the picture.
constexpr int kBorder = 1;
constexpr std::array<double, 19> kZoomSteps = {
    1.0 / 16, 1.0 / 12, 1.0 / 8, 1.0 / 6, 1.0 / 4, 1.0 / 3, 1.0 / 2, 2.0 / 3, 3.0 / 4, 1.0,
    1.25,     1.5,      2.0,     3.0,     4.0,     6.0,     8.0,     12.0,    16.0};
// Scales closer than this are the same stop.
constexpr double kSame = 1e-6;

int Rounded(double v) {
    return static_cast<int>(std::lround(v));
}

}  // namespace

double FitScale(int pictureWidth, int pictureHeight, const ViewerRect& workArea, bool reduce) {
    if (!reduce || pictureWidth <= 0 || pictureHeight <= 0) return 1.0;
    const int availableWidth = workArea.width - 2 * kBorder;
    const int availableHeight = workArea.height - 2 * kBorder;
    double scale = 1.0;
    if (pictureWidth > availableWidth) scale = static_cast<double>(availableWidth) / pictureWidth;
    if (pictureHeight * scale > availableHeight)
        scale = static_cast<double>(availableHeight) / pictureHeight;
    return std::max(scale, 1e-4);
}

ViewerPlacement PlaceViewer(int pictureWidth, int pictureHeight, const ViewerRect& workArea,
                            double scale) {
    ViewerPlacement p;
    p.scale = scale;
    p.shownWidth = std::max(1, Rounded(pictureWidth * scale));
    p.shownHeight = std::max(1, Rounded(pictureHeight * scale));
    const int width = std::min(p.shownWidth + 2 * kBorder, workArea.width);
    const int height = std::min(p.shownHeight + 2 * kBorder, workArea.height);
    p.window = {workArea.left + (workArea.width - width) / 2,
                workArea.top + (workArea.height - height) / 2, width, height};
    return p;
}

double NextZoom(double scale, bool in, double fitScale) {
    std::vector<double> stops(kZoomSteps.begin(), kZoomSteps.end());
    stops.push_back(fitScale);
    std::sort(stops.begin(), stops.end());
    if (in) {
        for (double s : stops)
            if (s > scale + kSame) return s;
        return stops.back();
    }
    for (auto it = stops.rbegin(); it != stops.rend(); ++it)
        if (*it < scale - kSame) return *it;
    return stops.front();
}

}  // namespace tl::diary
