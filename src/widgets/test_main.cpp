#include <gtest/gtest.h>

#include <cstdlib>

#include "guarded_application.h"

// The main() of every widget test binary (tl_qt_test_main), in place of
// gtest_main's. Widgets need a QApplication, documents need fonts and fonts
// need a QApplication; the offscreen platform needs no display. The
// application is the program's own, so that tests see its failure boundary.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    tl::widgets::GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
