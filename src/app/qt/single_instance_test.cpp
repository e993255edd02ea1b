#include "single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QUuid>

namespace tl::app {
namespace {

QString uniqueName() {
    return QStringLiteral("tl-test-") + QUuid::createUuid().toString(QUuid::Id128);
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
    SingleInstance first(name);
    ASSERT_EQ(first.acquire(), SingleInstance::Role::First);
    bool raised = false;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { raised = true; });

    SingleInstance second(name);
    EXPECT_EQ(second.acquire(), SingleInstance::Role::Second);
    EXPECT_TRUE(waitFor(raised));
}

TEST(SingleInstanceTest, ReleasedGuardLetsTheNextProcessRun) {
    app();
    const QString name = uniqueName();
    {
        SingleInstance first(name);
        ASSERT_EQ(first.acquire(), SingleInstance::Role::First);
    }
    SingleInstance next(name);
    EXPECT_EQ(next.acquire(), SingleInstance::Role::First);
    // And a third sees it as running.
    SingleInstance third(name);
    EXPECT_EQ(third.acquire(), SingleInstance::Role::Second);
}

TEST(SingleInstanceTest, OtherNamesDoNotInterfere) {
    app();
    SingleInstance a(uniqueName());
    SingleInstance b(uniqueName());
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
    SingleInstance second(QString::fromUtf8(name));
    EXPECT_EQ(second.acquire(), SingleInstance::Role::Second);
}

TEST(SingleInstanceTest, ASecondProcessIsRefusedAndRaisesTheFirst) {
    app();
    const QString name = uniqueName();
    SingleInstance first(name);
    ASSERT_EQ(first.acquire(), SingleInstance::Role::First);
    bool raised = false;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { raised = true; });

    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TL_SINGLE_INSTANCE_PROBE"), name);
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

}  // namespace
}  // namespace tl::app
