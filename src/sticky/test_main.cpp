#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Note windows need a QApplication. The offscreen
// platform needs no display.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
