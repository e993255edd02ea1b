#include "app_icon.h"

#include <QDirIterator>

namespace tl::frame {

QIcon makeAppIcon() {
    // The resources hold one PNG per hicolor size folder (16x16/apps/...).
    QIcon icon;
    QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) icon.addFile(it.next());
    return icon;
}

}  // namespace tl::frame
