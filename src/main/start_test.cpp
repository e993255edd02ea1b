// The start of the desktop program beside one that runs: the program itself
// is started, with a runtime and a temporary folder of the test's own.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "app/qt/single_instance.h"
#include "app/startup.h"

namespace {

namespace fs = std::filesystem;

QCoreApplication& app() {
    static int argc = 1;
    static char arg0[] = "tallyleaf_start_tests";
    static char* argv[] = {arg0, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

class StartTest : public testing::Test {
protected:
    void SetUp() override {
        app();
        ::chmod(m_runtime.path().toLocal8Bit().constData(), 0700);
        m_copy = tl::app::TempFolder(m_temp.path().toStdString()) + "/left open.txt";
        std::ofstream(m_copy) << "a copy another program still shows";
    }

    // Starts the program as a user would, on no real display.
    void start(QProcess& program) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("TMPDIR"), m_temp.path());
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path() + QStringLiteral("/.config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TL_PROGRAM), {});
        ASSERT_TRUE(program.waitForStarted(5000));
    }

    // Runs this process's events until done() or 20 seconds.
    template <class Done>
    void runUntil(Done done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 20000) app().processEvents(QEventLoop::AllEvents, 20);
    }

    QTemporaryDir m_runtime, m_temp, m_home;
    std::string m_copy;
};

// A second start raises the running instance, ends with 0 and leaves the
// copies of the running one alone.
TEST_F(StartTest, ASecondStartRaisesTheFirstAndCleansNothing) {
    tl::app::SingleInstance first(tl::app::SingleInstance::DefaultName(), m_runtime.path());
    ASSERT_EQ(first.acquire(), tl::app::SingleInstance::Role::First);
    bool raised = false;
    QObject::connect(&first, &tl::app::SingleInstance::raiseRequested, [&] { raised = true; });
    QProcess second;
    start(second);
    runUntil([&] { return raised && second.state() == QProcess::NotRunning; });
    ASSERT_EQ(second.state(), QProcess::NotRunning);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(raised);
    EXPECT_TRUE(fs::exists(m_copy));
}

// Held, but nobody answers: the user is told (the message names the lock
// file), and nothing is cleaned. The message waits for the user, so the
// test ends the program once it has said so.
TEST_F(StartTest, AStartThatCannotReachTheFirstSaysSo) {
    QLockFile held(QDir(m_runtime.path()).filePath(QStringLiteral("tallyleaf.lock")));
    ASSERT_TRUE(held.tryLock(0));
    QProcess second;
    start(second);
    QByteArray said;
    runUntil([&] {
        said += second.readAllStandardError();
        return said.contains("tallyleaf.lock") || second.state() == QProcess::NotRunning;
    });
    EXPECT_TRUE(said.contains("does not answer")) << said.toStdString();
    EXPECT_TRUE(said.contains(held.fileName().toUtf8()));
    if (second.state() == QProcess::NotRunning) {
        EXPECT_NE(second.exitCode(), 0);
    }
    second.kill();
    second.waitForFinished(5000);
    EXPECT_TRUE(fs::exists(m_copy));
}

}  // namespace
