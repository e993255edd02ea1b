#include "single_instance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <cstdlib>

namespace tl::app {
namespace {

QString uniqueName() {
    return QStringLiteral("tl-test-") + QUuid::createUuid().toString(QUuid::Id128);
}

// Where the guards of a test keep their lock and socket.
QString folder() {
    static QTemporaryDir dir;
    return dir.path();
}

QCoreApplication& app() {
    static int argc = 1;
    static char arg0[] = "tl_single_instance_tests";
    static char* argv[] = {arg0, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

// Runs the event loop until the flag rises or a second has passed.
bool waitFor(const bool& flag) {
    QElapsedTimer timer;
    timer.start();
    while (!flag && timer.elapsed() < 1000) app().processEvents(QEventLoop::AllEvents, 20);
    return flag;
}

TEST(SingleInstanceTest, SecondAsksFirstToRaiseAndFirstHearsIt) {
    app();
    const QString name = uniqueName();
    SingleInstance first(name, folder());
    ASSERT_EQ(first.acquire(), SingleInstance::Role::First);
    bool raised = false;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { raised = true; });

    SingleInstance second(name, folder());
    EXPECT_EQ(second.acquire(), SingleInstance::Role::Second);
    EXPECT_TRUE(waitFor(raised));
}

TEST(SingleInstanceTest, ReleasedGuardLetsTheNextProcessRun) {
    app();
    const QString name = uniqueName();
    {
        SingleInstance first(name, folder());
        ASSERT_EQ(first.acquire(), SingleInstance::Role::First);
    }
    SingleInstance next(name, folder());
    EXPECT_EQ(next.acquire(), SingleInstance::Role::First);
    // And a third sees it as running.
    SingleInstance third(name, folder());
    EXPECT_EQ(third.acquire(), SingleInstance::Role::Second);
}

TEST(SingleInstanceTest, OtherNamesDoNotInterfere) {
    app();
    SingleInstance a(uniqueName(), folder());
    SingleInstance b(uniqueName(), folder());
    EXPECT_EQ(a.acquire(), SingleInstance::Role::First);
    EXPECT_EQ(b.acquire(), SingleInstance::Role::First);
}

}  // namespace
}  // namespace tl::app

namespace tl::app {
namespace {

// Run by the test below in a second process (the same test binary): it must
// find the guard taken and reach the first process.
TEST(SingleInstanceProbe, SecondProcessIsRefused) {
    const QByteArray name = qgetenv("TL_SINGLE_INSTANCE_PROBE");
    if (name.isEmpty()) GTEST_SKIP() << "only run as the second process";
    app();
    SingleInstance second(QString::fromUtf8(name),
                          qEnvironmentVariable("TL_SINGLE_INSTANCE_FOLDER"));
    EXPECT_EQ(second.acquire(), SingleInstance::Role::Second);
}

TEST(SingleInstanceTest, ASecondProcessIsRefusedAndRaisesTheFirst) {
    app();
    const QString name = uniqueName();
    SingleInstance first(name, folder());
    ASSERT_EQ(first.acquire(), SingleInstance::Role::First);
    bool raised = false;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { raised = true; });

    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TL_SINGLE_INSTANCE_PROBE"), name);
    env.insert(QStringLiteral("TL_SINGLE_INSTANCE_FOLDER"), folder());
    probe.setProcessEnvironment(env);
    probe.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SingleInstanceProbe.SecondProcessIsRefused")});
    ASSERT_TRUE(probe.waitForStarted(5000));
    // Answer the probe's request while it runs.
    QElapsedTimer timer;
    timer.start();
    while (probe.state() != QProcess::NotRunning && timer.elapsed() < 20000) {
        app().processEvents(QEventLoop::AllEvents, 20);
        probe.waitForFinished(10);
    }
    ASSERT_EQ(probe.state(), QProcess::NotRunning) << "the second process did not end";
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardOutput().toStdString();
    EXPECT_TRUE(waitFor(raised));
}

// A crash leaves the lock behind with the number of a process that is gone:
// the next start takes it over and runs.
TEST(SingleInstanceTest, AStaleLockIsTakenOver) {
    app();
    const QString name = uniqueName();
    // Made before the fork, so that parent and child share the folder.
    const QString lockPath = QDir(folder()).filePath(name + QStringLiteral(".lock"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(lockPath);
        ::_exit(lock.tryLock(0) ? 0 : 1);  // never unlocked
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(QDir(folder()).filePath(name + QStringLiteral(".lock"))));

    SingleInstance next(name, folder());
    EXPECT_EQ(next.acquire(), SingleInstance::Role::First);
    SingleInstance later(name, folder());
    EXPECT_EQ(later.acquire(), SingleInstance::Role::Second);
}

// A lock that is held but behind which nobody answers (a process of another
// host or container sharing the folder, or a live one that does not
// listen): the start is refused as unreachable, never taken for a
// successful hand-over, and the lock is left alone.
TEST(SingleInstanceTest, AHeldLockWithoutAnAnswerIsUnreachable) {
    app();
    const QString name = uniqueName();
    const QString lockPath = QDir(folder()).filePath(name + QStringLiteral(".lock"));
    {
        QLockFile held(lockPath);
        ASSERT_TRUE(held.tryLock(0));
        SingleInstance second(name, folder());
        EXPECT_EQ(second.acquire(), SingleInstance::Role::Unreachable);
        EXPECT_EQ(second.lockPath(), lockPath);
    }
    // Written by a process of another host: its liveness cannot be known.
    {
        QFile foreign(lockPath);
        ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
        foreign.write(QByteArray::number(::getpid() + 100000) + "\ntallyleaf\nother-" +
                      QHostInfo::localHostName().toUtf8() + "\n");
    }
    SingleInstance second(name, folder());
    EXPECT_EQ(second.acquire(), SingleInstance::Role::Unreachable);
    EXPECT_TRUE(QFile::exists(lockPath));
    // Without a folder there is no guard either.
    SingleInstance nowhere(name, QString());
    EXPECT_EQ(nowhere.acquire(), SingleInstance::Role::Unreachable);
}

// The guard lives in the session's runtime folder when that is this user's
// private one, else in a folder of this user's own.
TEST(SingleInstanceTest, TheGuardLivesInTheUsersRuntimeFolder) {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir runtime;
    ::chmod(runtime.path().toLocal8Bit().constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    EXPECT_EQ(SingleInstance::DefaultFolder(), runtime.path());
    // Open to others: not a place for the guard.
    ::chmod(runtime.path().toLocal8Bit().constData(), 0755);
    const QString fallback = SingleInstance::DefaultFolder();
    qputenv("XDG_RUNTIME_DIR", saved);
    if (saved.isEmpty()) qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_NE(fallback, runtime.path());
    ASSERT_FALSE(fallback.isEmpty());
    struct stat st {};
    ASSERT_EQ(::stat(fallback.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_uid, ::getuid());
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

}  // namespace
}  // namespace tl::app
