#pragma once

// Lengths are designed at 96 dots per inch and converted to screen pixels
// by this one rule, in the Qt-free cores and the windows alike.

namespace tl::widgets {

// Both divisions truncate: (n * dpi * 100 / 96) / 100.
constexpr int ScaleAt(int n, int dpi) {
    return (n * dpi * 100 / 96) / 100;
}

// Scales with the screen's vertical logical resolution, read once (96
// before a screen exists). Reads the screen: tl_widgets, not its Qt-free core.
int Scale(int n);
// For tests and for a program that reads the resolution itself; 0 reads the
// screen again.
void SetScaleDpi(int dpi);

}  // namespace tl::widgets
