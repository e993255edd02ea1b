#pragma once

#include <QStringList>

namespace tl::frame {

// What the command line may ask of the program. Files are never opened
// from it.
struct LaunchOptions {
    // Writes a picture of the main window there once start-up is done,
    // then closes the program as the user would.
    QString screenshot;
    // Opens these dates ("YYYY-MM-DD") after start-up, for screenshots.
    QStringList openDates;
};

// The life of the desktop program: the single-instance guard, the
// settings, the main window, the data file, the message loop and the exit
// step. Returns the process's exit code.
int RunApplication(const LaunchOptions& options);

}  // namespace tl::frame
