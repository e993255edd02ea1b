#include <gtest/gtest.h>

#include <cstdlib>

#include "guarded_application.h"

// Widgets need a QApplication; the offscreen platform needs no display.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    tl::frame::GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
