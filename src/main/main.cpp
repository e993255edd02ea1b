#include <cstdio>
#include <cstring>

#include "frame/marlow_app.h"
#include "widgets/guarded_application.h"

namespace {

constexpr char kUsage[] =
    "usage: tallyleaf [options]\n"
    "\n"
    "The diary. It opens its data file itself; files named on the command\n"
    "line are not opened. One instance runs per user session: a second start\n"
    "brings the running one forward.\n"
    "\n"
    "options:\n"
    "  -h, --help               print this help and exit\n"
    "  --version                print the version and exit\n"
    "  --open YYYY-MM-DD        open the entry of that date after start-up\n"
    "  --screenshot PATH        save a picture of the main window, then close\n"
    "\n"
    "Qt's own options (for example -platform NAME) are understood as well.\n";

}  // namespace

// The desktop program. The command line opens no files; two options serve
// documentation and checks: --screenshot PATH and --open YYYY-MM-DD.
int main(int argc, char** argv) {
    // Answered before any window system is needed.
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("tallyleaf %s\n", TL_VERSION);
            return 0;
        }
    }
    // In a Wayland session the compositor places windows itself and offers
    // no translucency: the sticky notes need X11's, which XWayland gives
    // (its DISPLAY is set). The user's own choice of platform stands.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    tl::widgets::GuardedApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Lantern"));
    QApplication::setApplicationName(QStringLiteral("Tallyleaf"));
    // Ties the windows to the installed desktop entry (its name and icon).
    QApplication::setDesktopFileName(QStringLiteral(TL_APP_ID));
    tl::frame::LaunchOptions options;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QStringLiteral("--screenshot"))
            options.screenshot = args[++i];
        else if (args[i] == QStringLiteral("--open"))
            options.openDates.append(args[++i]);
    }
    return tl::frame::RunApplication(options);
}
