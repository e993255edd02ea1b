#pragma once

// Lengths designed at 96 dots per inch, converted to screen pixels.

#include "res/scale.h"

namespace tl::diary {

using res::ScaleAt;
// Scales with the screen's vertical logical resolution, read once (96
// before a screen exists).
int Scale(int n);
// The resolution Scale uses.
int ScaleDpi();
// For tests and for a program that reads the resolution itself.
void SetScaleDpi(int dpi);

}  // namespace tl::diary
