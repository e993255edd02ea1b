#pragma once

#include <QString>
#include <QStringList>

namespace tl::widgets {

// The faces of Windows that diaries name (the defaults "MS PGothic" and
// "Meiryo" among them) and what stands in for them on this machine. The
// stored names are never changed: only what is drawn and shown is mapped.

// The installed families that may stand in for face, best first (Japanese
// faces before others, so that Japanese text keeps its shapes); empty for a
// face that is not a known Windows one.
QStringList FaceStandIns(const QString& face);

// Teaches Qt's font matching the stand-ins of every known Windows face
// (through fontconfig's families); once, before the first window.
void InstallFaceStandIns();

// What is shown for a stored face: itself when installed or unknown, else
// the first installed stand-in.
QString ShownFace(const QString& face);

}  // namespace tl::widgets
