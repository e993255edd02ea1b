#pragma once

// Where Help and F1 find the user guide: installed with the program, else,
// for a program run from its build folder, where the build made it.

#include <QString>

#include "res/user_interface.h"

namespace tl::frame {

struct HelpPlaces {
    QString executableDir;      // the folder of the running program
    QString installedRelative;  // the installed guide, relative to that folder
    QString buildTree;          // the guide this build made
};

// The places of this build for the running program.
HelpPlaces UserGuidePlaces();

// The installed guide when it exists, else the build tree's; empty when
// neither exists.
QString FindUserGuide(const HelpPlaces& places);

// Opens the user guide in the desktop's browser through opener; when none
// can be started there, in the program's own help window (CHelpWnd). Tells
// when there is no guide at all.
void OpenUserGuide(res::UserInterface& ui, const QString& opener = QStringLiteral("xdg-open"));

}  // namespace tl::frame
