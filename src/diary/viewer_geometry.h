#pragma once

// Where the picture viewer stands and how large it shows a picture: fitted
// into the desktop's work area or at its own size, and the zoom steps.

#include <vector>

namespace tl::diary {

struct ViewerRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const ViewerRect&) const = default;
};

struct ViewerPlacement {
    ViewerRect window;  // the picture's shown size plus 1 pixel each side
    int shownWidth = 0;
    int shownHeight = 0;
    double scale = 1.0;  // shown / picture
};

// The scale at which a picture fits: 1 when it fits the work area less 2
// pixels each way or when reduction is off; otherwise first to the
// available width, then, still too high, to the available height.
double FitScale(int pictureWidth, int pictureHeight, const ViewerRect& workArea, bool reduce);

// The window for a picture shown at scale: as large as the picture shows,
// at most the work area, centred in it (at its edge on an axis where the
// picture is larger).
ViewerPlacement PlaceViewer(int pictureWidth, int pictureHeight, const ViewerRect& workArea,
                            double scale);

// The next zoom step up (in) or down from scale; the steps run from 1/16
// to 16 with 1 among them, and the fit scale is a stop on the way.
double NextZoom(double scale, bool in, double fitScale);

}  // namespace tl::diary
