#pragma once

// The program's window icon, drawn in code so it needs no image files.

#include <QIcon>

namespace tl::frame {

// A diary page with a leaf on it, rendered at the usual icon sizes.
QIcon makeAppIcon();

}  // namespace tl::frame
