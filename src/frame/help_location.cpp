#include "help_location.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

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

void OpenUserGuide(res::UserInterface& ui) {
    const QString guide = FindUserGuide(UserGuidePlaces());
    if (guide.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(guide)))
        ui.warn(res::Msg::HelpNotOpened);
}

}  // namespace tl::frame
