#include "help_location.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include "help_wnd.h"
#include "support/recording_ui.h"
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

// Without a browser (no opener at all, or one that fails) the guide opens
// in the program's own window, with its pictures, and its links lead on
// inside it; nothing fails silently.
TEST(HelpWindowTest, WithoutABrowserTheGuideOpensInTheProgramsOwnWindow) {
    const QString guide = FindUserGuide(UserGuidePlaces());
    ASSERT_FALSE(guide.isEmpty()) << "the build makes the guide first";
    testing::RecordingUi ui;
    for (const QString& opener :
         {QStringLiteral("/nonexistent/xdg-open"), QStringLiteral("false")}) {
        delete CHelpWnd::current();
        OpenUserGuide(ui, opener);
        ASSERT_TRUE(QTest::qWaitFor([] { return CHelpWnd::current() != nullptr; }, 10000))
            << opener.toStdString();
        QTextBrowser* browser = CHelpWnd::current()->browser();
        EXPECT_EQ(browser->source(), QUrl::fromLocalFile(guide));
        EXPECT_TRUE(CHelpWnd::current()->isVisible());
        EXPECT_TRUE(ui.warnings().empty());
    }
    QTextBrowser* browser = CHelpWnd::current()->browser();
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Sticky notes")));
    // The pictures lie beside the page and are found from it.
    const QVariant picture =
        browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("guide/bars.png")));
    EXPECT_FALSE(picture.isNull());
    EXPECT_FALSE(QImage::fromData(picture.toByteArray()).isNull());
    // A link of the contents stays in the window, and Back returns.
    emit browser->anchorClicked(QUrl(QStringLiteral("#sticky-notes")));
    EXPECT_EQ(browser->source().fragment(), QStringLiteral("sticky-notes"));
    EXPECT_TRUE(browser->isBackwardAvailable());
    // A second request reuses the one window.
    CHelpWnd* window = CHelpWnd::current();
    OpenUserGuide(ui, QStringLiteral("/nonexistent/xdg-open"));
    (void)QTest::qWaitFor([&] { return browser->source().fragment().isEmpty(); }, 10000);
    EXPECT_EQ(CHelpWnd::current(), window);
    delete window;
}

}  // namespace
}  // namespace tl::frame
