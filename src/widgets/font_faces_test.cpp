#include "font_faces.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

namespace tl::widgets {
namespace {

// The Windows faces of the defaults draw with an installed family, and a
// Japanese one where the machine has it; the stored name stays as it is.
TEST(FontFacesTest, WindowsFacesDrawAndShowWithInstalledFamilies) {
    InstallFaceStandIns();
    const bool japaneseInstalled = !QFontDatabase::families(QFontDatabase::Japanese).isEmpty();
    for (const QString& face : {QStringLiteral("MS PGothic"), QStringLiteral("Meiryo"),
                                QStringLiteral("MS UI Gothic"), QStringLiteral("MS Gothic")}) {
        if (QFontDatabase::hasFamily(face)) continue;  // the real one is here
        const QString shown = ShownFace(face);
        EXPECT_NE(shown, face);
        EXPECT_TRUE(QFontDatabase::hasFamily(shown)) << shown.toStdString();
        QFont font(face);
        EXPECT_EQ(font.family(), face);  // what is stored is kept
        const QString drawn = QFontInfo(font).family();
        EXPECT_NE(drawn, face);
        if (japaneseInstalled) {
            EXPECT_TRUE(QFontDatabase::writingSystems(shown).contains(QFontDatabase::Japanese))
                << face.toStdString() << " shows as " << shown.toStdString();
            EXPECT_TRUE(QFontDatabase::writingSystems(drawn).contains(QFontDatabase::Japanese))
                << face.toStdString() << " draws as " << drawn.toStdString();
        }
    }
    // Known in any letter case; fixed-pitch stays fixed-pitch first.
    EXPECT_EQ(FaceStandIns(QStringLiteral("ms pgothic")), FaceStandIns(QStringLiteral("Meiryo")));
    EXPECT_EQ(FaceStandIns(QStringLiteral("MS Gothic")).last(), QStringLiteral("monospace"));
    // A face of no known system, installed or not, is shown as it is named.
    EXPECT_TRUE(FaceStandIns(QStringLiteral("Some Face Nobody Has")).isEmpty());
    EXPECT_EQ(ShownFace(QStringLiteral("Some Face Nobody Has")),
              QStringLiteral("Some Face Nobody Has"));
    const QString installed = QFontDatabase::families().value(0);
    EXPECT_EQ(ShownFace(installed), installed);
}

}  // namespace
}  // namespace tl::widgets
