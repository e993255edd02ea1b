#include "frame/marlow_app.h"
#include "widgets/guarded_application.h"

// The desktop program. The command line opens no files; two options serve
// documentation and checks: --screenshot PATH and --open YYYY-MM-DD.
int main(int argc, char** argv) {
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
