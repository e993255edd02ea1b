#pragma once

// The program's window icon: the PNGs rendered from data/icons/tallyleaf.svg
// at build time, the same files the desktop menus show.

#include <QIcon>

namespace tl::frame {

// Every size the build rendered.
QIcon makeAppIcon();

}  // namespace tl::frame
