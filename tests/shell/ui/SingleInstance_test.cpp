// One running copy per user: a later start reaches the running one and ends.
#include "ProgramTestSupport.h"
#include "shell/ui/SingleInstance.h"
#include "support/TempDir.h"

#include <atomic>
#include <functional>
#include <thread>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::RunUntil;

using test::TempDir;

/// A later start run on a thread of its own, as another process would, while this thread
/// serves the running copy's socket.
bool RaiseFromAnotherStart(const QString& name)
{
    std::atomic<bool> done{false};
    bool raised = false;
    std::thread later([&] {
        SingleInstance instance(name);
        raised = instance.RaiseRunningInstance(10000);
        done = true;
    });
    RunUntil([&] { return done.load(); });
    later.join();
    return raised;
}

TEST(SingleInstance, ALaterStartReachesTheRunningCopyOrFindsNone)
{
    TempDir dir;
    const QString name = dir.File(QStringLiteral("pellivark.socket"));

    // Nobody runs: the start goes on.
    EXPECT_FALSE(SingleInstance(name).RaiseRunningInstance(200));

    int raises = 0;
    SingleInstance running(name);
    ASSERT_TRUE(running.Listen([&raises] { ++raises; }));
    EXPECT_TRUE(RaiseFromAnotherStart(name));
    EXPECT_TRUE(RunUntil([&] { return raises == 1; }));
    EXPECT_TRUE(RaiseFromAnotherStart(name));
    EXPECT_TRUE(RunUntil([&] { return raises == 2; }));
}

TEST(SingleInstance, TheSocketOfACrashedCopyIsTakenOver)
{
    TempDir dir;
    const QString name = dir.File(QStringLiteral("pellivark.socket"));
    {
        // What a copy that ended without cleaning up leaves behind.
        QFile stale(name);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    int raises = 0;
    SingleInstance running(name);
    ASSERT_TRUE(running.Listen([&raises] { ++raises; }));
    EXPECT_TRUE(RaiseFromAnotherStart(name));
    EXPECT_TRUE(RunUntil([&] { return raises == 1; }));
}

TEST(SingleInstance, TheProgramStartedTwiceLeavesOneCopyRunning)
{
    TempDir runtime;
    TempDir data;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // A runtime folder of its own keeps the test's copies away from any other Pellivark.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.Path());
    environment.insert(QStringLiteral("PELLIVARK_DATA"), data.Path());

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(QStringLiteral(PELLIVARK_BINARY), {});
    ASSERT_TRUE(first.waitForStarted(30000));
    // The first copy listens once its socket appears (the name prompt then waits for input).
    const QString socket = runtime.Path() + QStringLiteral("pellivark-%1.socket").arg(getuid());
    ASSERT_TRUE(
        RunUntil([&] { return QFile::exists(socket) || first.state() == QProcess::NotRunning; }));
    ASSERT_EQ(first.state(), QProcess::Running);

    // The second start ends by itself, successfully, without painting a window.
    QProcess second;
    QProcessEnvironment secondEnvironment = environment;
    const QString probe = runtime.Path() + QStringLiteral("second-probe.txt");
    secondEnvironment.insert(QStringLiteral("PELLIVARK_STARTUP_PROBE"), probe);
    second.setProcessEnvironment(secondEnvironment);
    second.start(QStringLiteral(PELLIVARK_BINARY), {});
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(probe));
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(30000);
}

} // namespace
} // namespace pv
