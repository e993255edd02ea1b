#include "help_location.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/temp_dir.h"

namespace tl::frame {
namespace {

class HelpLocationTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    QString root = QString::fromStdString(dir.path().string());

    // A prefix laid out as the install rules lay it out, with or without
    // the guide.
    HelpPlaces installedUnder(const QString& prefix, bool withGuide) {
        HelpPlaces places = UserGuidePlaces();
        places.executableDir = prefix + QStringLiteral("/bin");
        QDir().mkpath(places.executableDir);
        if (withGuide) touch(QDir(places.executableDir).filePath(places.installedRelative));
        places.buildTree = root + QStringLiteral("/build/docs/user-guide.html");
        return places;
    }
    static void touch(const QString& path) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    }
};

TEST_F(HelpLocationTest, TheInstalledGuideLiesInTheDocFolderBesideBin) {
    const HelpPlaces places = installedUnder(root + QStringLiteral("/usr"), true);
    EXPECT_EQ(FindUserGuide(places),
              root + QStringLiteral("/usr/share/doc/tallyleaf/user-guide.html"));
}

TEST_F(HelpLocationTest, TheInstalledGuideWinsOverTheBuildTree) {
    const HelpPlaces places = installedUnder(root + QStringLiteral("/usr"), true);
    touch(places.buildTree);
    EXPECT_TRUE(FindUserGuide(places).startsWith(root + QStringLiteral("/usr/share/")));
}

TEST_F(HelpLocationTest, AProgramRunFromItsBuildFolderFallsBackToTheBuildTree) {
    const HelpPlaces places = installedUnder(root + QStringLiteral("/build/src"), false);
    touch(places.buildTree);
    EXPECT_EQ(FindUserGuide(places), places.buildTree);
}

TEST_F(HelpLocationTest, NoGuideAnywhereGivesNothing) {
    HelpPlaces places = installedUnder(root + QStringLiteral("/usr"), false);
    EXPECT_TRUE(FindUserGuide(places).isEmpty());
    // A folder of the guide's name is no guide.
    QDir().mkpath(places.buildTree);
    EXPECT_TRUE(FindUserGuide(places).isEmpty());
    places.buildTree.clear();
    EXPECT_TRUE(FindUserGuide(places).isEmpty());
}

TEST_F(HelpLocationTest, ThisBuildLooksForTheGuideItMakes) {
    const HelpPlaces places = UserGuidePlaces();
    EXPECT_TRUE(places.buildTree.endsWith(QStringLiteral("/docs/user-guide.html")));
    EXPECT_FALSE(QDir::isAbsolutePath(places.installedRelative));
}

}  // namespace
}  // namespace tl::frame
