#include "help_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "help_wnd.h"

namespace tl::frame {

HelpPlaces UserGuidePlaces() {
    return {QCoreApplication::applicationDirPath(), QStringLiteral(TL_GUIDE_RELATIVE),
            QStringLiteral(TL_GUIDE_BUILD)};
}

QString FindUserGuide(const HelpPlaces& places) {
    // The installed guide first: an installed program never shows the
    // guide of some build folder that happens to remain on the machine.
    const QString installed =
        QDir::cleanPath(QDir(places.executableDir).filePath(places.installedRelative));
    for (const QString& path : {installed, places.buildTree})
        if (!path.isEmpty() && QFileInfo(path).isFile()) return path;
    return {};
}

void OpenUserGuide(res::UserInterface& ui, const QString& opener) {
    const QString guide = FindUserGuide(UserGuidePlaces());
    if (guide.isEmpty()) {
        ui.warn(res::Msg::HelpNotOpened);
        return;
    }
    // The desktop's opener says whether a browser took the page only by
    // its exit status: it may keep running while the browser does (that is
    // a browser), or end at once, with a failure when there is none.
    auto* process = new QProcess(QCoreApplication::instance());
    const auto ownWindow = [guide] { CHelpWnd::showGuide(guide); };
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, ownWindow](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         ownWindow();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, ownWindow](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0) ownWindow();
                         process->deleteLater();
                     });
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(opener, {QUrl::fromLocalFile(guide).toString()});
}

}  // namespace tl::frame
