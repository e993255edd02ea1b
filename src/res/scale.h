#pragma once

// Lengths are designed at 96 dots per inch and converted to screen pixels
// by this one rule, in the engine-free parts and the windows alike.

namespace tl::res {

// Both divisions truncate: (n * dpi * 100 / 96) / 100.
constexpr int ScaleAt(int n, int dpi) {
    return (n * dpi * 100 / 96) / 100;
}

}  // namespace tl::res
