#include "single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUuid>

namespace tl::app {
namespace {

QString uniqueName() { return QStringLiteral("tl-test-") + QUuid::createUuid().toString(QUuid::Id128); }

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
