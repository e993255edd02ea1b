#pragma once

// The side bar's own small pictures, drawn once at the screen's scale: the
// tiled background of the bar and the day list's attachment icons.

#include <QPixmap>

namespace tl::calendar {

QPixmap SideBarPattern();
// A framed landscape: the day has a picture.
QPixmap PictureIcon(int dpi);
// A page with a folded corner: the day has another attached file.
QPixmap FileIcon(int dpi);

}  // namespace tl::calendar
