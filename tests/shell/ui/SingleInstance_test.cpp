// One running copy per user: a later start reaches the running one and ends, two starts at the
// same moment give one copy, a crashed copy leaves nothing in the way, and another user's
// files and sockets are never believed.
#include "ProgramTestSupport.h"
#include "shell/ui/SingleInstance.h"
#include "support/TempDir.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::RunUntil;
using test::TempDir;

constexpr uid_t kNobody = 65534;

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

/// A later start run on a thread of its own, as another process would, while this thread
/// serves the running copy's socket.
SingleInstance::Start StartFromAnotherThread(const QString& folder, int waitMs = 10000)
{
    std::atomic<bool> done{false};
    SingleInstance::Start start = SingleInstance::Start::Unguarded;
    std::thread later([&] {
        SingleInstance instance(folder);
        start = instance.Begin({}, waitMs);
        done = true;
    });
    RunUntil([&] { return done.load(); });
    later.join();
    return start;
}

TEST(SingleInstance, ALaterStartReachesTheRunningCopyOrFindsNone)
{
    TempDir dir;
    const QString folder = dir.Path();

    // Nobody runs: the start goes on (and gives the lock up as it ends).
    EXPECT_EQ(StartFromAnotherThread(folder), SingleInstance::Start::First);

    int raises = 0;
    SingleInstance running(folder);
    ASSERT_EQ(running.Begin([&raises] { ++raises; }), SingleInstance::Start::First);
    EXPECT_EQ(StartFromAnotherThread(folder), SingleInstance::Start::Raised);
    EXPECT_TRUE(RunUntil([&] { return raises == 1; }));
    EXPECT_EQ(StartFromAnotherThread(folder), SingleInstance::Start::Raised);
    EXPECT_TRUE(RunUntil([&] { return raises == 2; }));
}

/// A copy of the guard alone in a process of its own, let go by Go().
class Probe
{
public:
    Probe(const QString& folder, int serveMs = 20000)
    {
        m_process.start(QStringLiteral(SINGLE_INSTANCE_PROBE), {folder, QString::number(serveMs)});
    }
    ~Probe()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(30000);
        }
    }
    bool Started() { return m_process.waitForStarted(30000); }
    void Go()
    {
        // Written now, not when some later wait of this process gets round to it.
        m_process.write("go\n");
        m_process.waitForBytesWritten(30000);
        m_process.closeWriteChannel();
    }
    /// The exit status (see the probe), -1 when it did not end.
    int Finish()
    {
        if (!m_process.waitForFinished(60000) || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }
    /// The probe's first line: how its start went.
    QByteArray Outcome()
    {
        if (!m_process.canReadLine() && !m_process.waitForReadyRead(60000))
            return {};
        return m_process.readLine().trimmed();
    }
    qint64 Pid() const { return m_process.processId(); }

private:
    QProcess m_process;
};

constexpr int kFirstRaised = 10;
constexpr int kRaisedTheRunning = 20;

TEST(SingleInstance, TwoStartsAtTheSameMomentLeaveExactlyOneCopyRunning)
{
    TempDir dir;
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        Probe a(dir.Path());
        Probe b(dir.Path());
        ASSERT_TRUE(a.Started());
        ASSERT_TRUE(b.Started());
        a.Go();
        b.Go();
        std::vector<int> statuses = {a.Finish(), b.Finish()};
        std::sort(statuses.begin(), statuses.end());
        // One ran and was raised by the other; the other ended. Two that both ran time out
        // unraised (11), one that found no answer ran unguarded (30).
        ASSERT_EQ(statuses, (std::vector<int>{kFirstRaised, kRaisedTheRunning}));
    }
}

TEST(SingleInstance, ACrashedCopysLockAndSocketAreTakenOver)
{
    TempDir dir;
    {
        // What a copy that ended without cleaning up leaves behind: a lock file and a socket
        // file nobody serves.
        ASSERT_TRUE(dir.Write(QStringLiteral("instance.lock"), {}));
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = Native(dir.File(QStringLiteral("instance.socket")));
        std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
        ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
        close(fd);
    }
    int raises = 0;
    {
        SingleInstance running(dir.Path());
        ASSERT_EQ(running.Begin([&raises] { ++raises; }), SingleInstance::Start::First);
        EXPECT_EQ(StartFromAnotherThread(dir.Path()), SingleInstance::Start::Raised);
        EXPECT_TRUE(RunUntil([&] { return raises == 1; }));
    }

    // A copy killed while it runs, holding its lock and serving its socket.
    Probe crashed(dir.Path(), 600000);
    ASSERT_TRUE(crashed.Started());
    crashed.Go();
    ASSERT_EQ(crashed.Outcome(), QByteArray("first"));
    ASSERT_EQ(kill(static_cast<pid_t>(crashed.Pid()), SIGKILL), 0);
    EXPECT_EQ(crashed.Finish(), -1) << "killed";
    EXPECT_TRUE(QFileInfo::exists(dir.File(QStringLiteral("instance.socket"))));
    SingleInstance next(dir.Path());
    EXPECT_EQ(next.Begin({}, 5000), SingleInstance::Start::First);
    EXPECT_EQ(StartFromAnotherThread(dir.Path()), SingleInstance::Start::Raised);
}

/// Sets an environment variable for its lifetime (an empty value unsets it).
class ScopedVariable
{
public:
    ScopedVariable(const char* name, const QString& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, Native(value));
    }
    ~ScopedVariable()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

mode_t ModeOf(const QString& path)
{
    struct stat st
    {
    };
    return lstat(Native(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(SingleInstance, ThePrivateFolderIsTheUsersOwnAndClosedToOthers)
{
    const bool root = geteuid() == 0;
    struct Case
    {
        const char* name;
        const char* runtime; ///< the runtime folder's name in the test folder, "" = unset
        std::function<void(const QString& dir)> prepare;
        const char* chosen; ///< the folder expected, "" = none
        bool needsRoot;
    };
    const auto mode = [](const char* name, mode_t m) {
        return [name, m](const QString& dir) {
            ASSERT_TRUE(QDir().mkpath(dir + QString::fromLatin1(name)));
            ASSERT_EQ(chmod(Native(dir + QString::fromLatin1(name)).constData(), m), 0);
        };
    };
    const auto owner = [](const char* name, uid_t uid) {
        return [name, uid](const QString& dir) {
            ASSERT_TRUE(QDir().mkpath(dir + QString::fromLatin1(name)));
            ASSERT_EQ(chown(Native(dir + QString::fromLatin1(name)).constData(), uid, uid), 0);
        };
    };
    const Case cases[] = {
        {"own runtime folder", "run", mode("run", 0700), "run/pellivark", false},
        {"no runtime folder", "", [](const QString&) {}, "cache/pellivark", false},
        {"runtime folder open to others", "run", mode("run", 0777), "cache/pellivark", false},
        {"runtime folder of another user", "run", owner("run", kNobody), "cache/pellivark", true},
        {"an own folder open to others is closed", "", mode("cache/pellivark", 0755),
         "cache/pellivark", false},
        {"a link in the folder's place", "",
         [](const QString& dir) {
             ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("cache")));
             ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("elsewhere")));
             ASSERT_EQ(symlink(Native(dir + QStringLiteral("elsewhere")).constData(),
                               Native(dir + QStringLiteral("cache/pellivark")).constData()),
                       0);
         },
         "", false},
        {"the folder made by another user", "", owner("cache/pellivark", kNobody), "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && !root) {
            std::printf("[ SKIPPED  ] %s: needs root to make another user's folder\n", c.name);
            continue;
        }
        TempDir dir;
        c.prepare(dir.Path());
        const ScopedVariable runtime("XDG_RUNTIME_DIR",
                                     *c.runtime != '\0' ? dir.File(QString::fromLatin1(c.runtime))
                                                        : QString());
        const ScopedVariable cache("XDG_CACHE_HOME", dir.File(QStringLiteral("cache")));
        const auto folder = SingleInstance::PrivateFolder();
        if (*c.chosen == '\0') {
            ASSERT_FALSE(folder);
            EXPECT_EQ(folder.Code(), GuardError::NoPrivateFolder);
            continue;
        }
        ASSERT_TRUE(folder) << folder.Detail().toStdString();
        EXPECT_EQ(folder.Value(), dir.File(QString::fromLatin1(c.chosen)));
        EXPECT_EQ(ModeOf(folder.Value()), 0700U);
    }
}

/// Another user (nobody) serving sockets of the names given, in folders it makes open to all,
/// and holding a lock file when one is named: answers every connection as a running copy
/// would, and tells the test of each connection ('C') and request ('Q') it had.
class ForeignCopy
{
public:
    ForeignCopy(std::vector<QString> sockets, std::vector<QString> folders, QString lock = {})
    {
        for (const QString& s : sockets)
            m_sockets.push_back(Native(s));
        for (const QString& f : folders)
            m_folders.push_back(Native(f));
        m_lock = Native(lock);
        if (pipe(m_pipe) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0)
            Serve(); // never returns
        close(m_pipe[1]);
        m_ready = Wait() == 'R';
    }
    ~ForeignCopy()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_pipe[0]);
    }
    bool Ready() const { return m_ready; }
    /// The connections and requests reported so far.
    std::string Reports()
    {
        std::string seen;
        while (poll_one(0))
            seen.push_back(Wait());
        return seen;
    }

private:
    bool poll_one(int ms)
    {
        pollfd p{m_pipe[0], POLLIN, 0};
        return poll(&p, 1, ms) == 1 && (p.revents & POLLIN) != 0;
    }
    char Wait()
    {
        char c = 0;
        if (!poll_one(30000) || read(m_pipe[0], &c, 1) != 1)
            return 0;
        return c;
    }
    // In the child: system calls only, on what the parent prepared.
    [[noreturn]] void Serve()
    {
        close(m_pipe[0]);
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(1);
        for (const QByteArray& f : m_folders) {
            mkdir(f.constData(), 0777);
            chmod(f.constData(), 0777);
        }
        if (!m_lock.isEmpty()) {
            const int fd = open(m_lock.constData(), O_RDWR | O_CREAT, 0666);
            if (fd < 0 || flock(fd, LOCK_EX) != 0)
                _exit(2);
        }
        pollfd listeners[8];
        nfds_t count = 0;
        for (const QByteArray& s : m_sockets) {
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path, s.constData(), static_cast<std::size_t>(s.size()));
            unlink(s.constData());
            if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) ||
                listen(fd, 8) != 0 || count == 8)
                _exit(3);
            listeners[count++] = {fd, POLLIN, 0};
        }
        if (write(m_pipe[1], "R", 1) != 1)
            _exit(4);
        for (;;) {
            if (poll(listeners, count, -1) <= 0)
                continue;
            for (nfds_t i = 0; i < count; ++i) {
                if ((listeners[i].revents & POLLIN) == 0)
                    continue;
                const int c = accept(listeners[i].fd, nullptr, nullptr);
                if (c < 0)
                    continue;
                [[maybe_unused]] ssize_t w = write(m_pipe[1], "C", 1);
                pollfd in{c, POLLIN, 0};
                char request[64];
                if (poll(&in, 1, 2000) == 1 && read(c, request, sizeof(request)) > 0)
                    w = write(m_pipe[1], "Q", 1);
                // MSG_NOSIGNAL: a guard that hung up first must not end this copy (and with
                // it the lock it holds) by SIGPIPE.
                w = send(c, "raised\n", 7, MSG_NOSIGNAL);
                close(c);
            }
        }
    }

    std::vector<QByteArray> m_sockets;
    std::vector<QByteArray> m_folders;
    QByteArray m_lock;
    int m_pipe[2] = {-1, -1};
    pid_t m_pid = -1;
    bool m_ready = false;
};

TEST(SingleInstance, ASocketOfAnotherUserIsNeverTalkedTo)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run a copy as another user";
    for (const bool renamedToThisUser : {false, true}) {
        SCOPED_TRACE(renamedToThisUser ? "the socket file made this user's" : "another's socket");
        TempDir dir;
        ASSERT_EQ(chmod(Native(dir.Path()).constData(), 0755), 0);
        // The folder is opened for a moment, as if its checks had been got round: another
        // user holds the lock in it and serves the socket.
        const QString folder = dir.File(QStringLiteral("guard"));
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_EQ(chmod(Native(folder).constData(), 0777), 0);
        ForeignCopy foreign({folder + QStringLiteral("/instance.socket")}, {},
                            folder + QStringLiteral("/instance.lock"));
        ASSERT_TRUE(foreign.Ready());
        ASSERT_EQ(chmod(Native(folder).constData(), 0700), 0);
        if (renamedToThisUser) {
            ASSERT_EQ(chown(Native(folder + QStringLiteral("/instance.socket")).constData(), 0, 0),
                      0);
        }

        SingleInstance instance(folder);
        // Nothing believed, and the lock is not this user's copy's: the start goes on.
        EXPECT_EQ(instance.Begin({}, 1500), SingleInstance::Start::Unguarded);
        // The socket file of another owner is not even connected to; one made to look like
        // this user's is left at once, before a word is said.
        EXPECT_EQ(foreign.Reports().find('Q'), std::string::npos);
        if (!renamedToThisUser) {
            EXPECT_EQ(foreign.Reports(), "");
        }
    }
}

/// The program's environment with a runtime, cache, home and data folder of the test's own.
QProcessEnvironment ProgramEnvironment(const TempDir& dir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char* name : {"run", "cache", "home", "data"}) {
        EXPECT_TRUE(QDir().mkpath(dir.File(QString::fromLatin1(name))));
        chmod(Native(dir.File(QString::fromLatin1(name))).constData(), 0700);
    }
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.File(QStringLiteral("run")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), dir.File(QStringLiteral("cache")));
    environment.insert(QStringLiteral("HOME"), dir.File(QStringLiteral("home")));
    environment.insert(QStringLiteral("PELLIVARK_DATA"), dir.File(QStringLiteral("data")));
    return environment;
}

TEST(SingleInstance, TheProgramStartedTwiceLeavesOneCopyRunning)
{
    TempDir dir;
    const QProcessEnvironment environment = ProgramEnvironment(dir);

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(QStringLiteral(PELLIVARK_BINARY), {});
    ASSERT_TRUE(first.waitForStarted(30000));
    // The first copy listens once its socket appears (the name prompt then waits for input).
    const QString socket = dir.File(QStringLiteral("run/pellivark/instance.socket"));
    ASSERT_TRUE(
        RunUntil([&] { return QFile::exists(socket) || first.state() == QProcess::NotRunning; }));
    ASSERT_EQ(first.state(), QProcess::Running);

    // The second start ends by itself, successfully, without painting a window.
    QProcess second;
    QProcessEnvironment secondEnvironment = environment;
    const QString probe = dir.File(QStringLiteral("second-probe.txt"));
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

TEST(SingleInstance, TheProgramStartedTwiceAtOnceRunsOnce)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        TempDir dir;
        const QProcessEnvironment environment = ProgramEnvironment(dir);
        QProcess copies[2];
        for (QProcess& copy : copies) {
            copy.setProcessEnvironment(environment);
            copy.start(QStringLiteral(PELLIVARK_BINARY), {});
        }
        for (QProcess& copy : copies)
            ASSERT_TRUE(copy.waitForStarted(30000));
        // One copy ends, successfully; the other asks the name and waits.
        ASSERT_TRUE(RunUntil([&] {
            return copies[0].state() == QProcess::NotRunning ||
                   copies[1].state() == QProcess::NotRunning;
        }));
        QProcess& ended = copies[0].state() == QProcess::NotRunning ? copies[0] : copies[1];
        QProcess& running = &ended == &copies[0] ? copies[1] : copies[0];
        EXPECT_EQ(ended.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(ended.exitCode(), 0);
        EXPECT_EQ(running.state(), QProcess::Running);
        running.kill();
        running.waitForFinished(30000);
    }
}

TEST(SingleInstance, AnotherUserCannotMakeTheProgramEndWithoutAWord)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run a copy as another user";
    TempDir dir;
    ASSERT_EQ(chmod(Native(dir.Path()).constData(), 0755), 0);
    QProcessEnvironment environment = ProgramEnvironment(dir);
    // A shared temporary folder and a runtime folder that are another user's, with that
    // user's sockets of every name a guard might look for there.
    const QString shared = dir.File(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_EQ(chmod(Native(shared).constData(), 01777), 0);
    const QString foreignRun = dir.File(QStringLiteral("foreign-run"));
    ASSERT_TRUE(QDir().mkpath(foreignRun));
    ASSERT_EQ(chown(Native(foreignRun).constData(), kNobody, kNobody), 0);
    const QString uid = QString::number(geteuid());
    const QString user = QStringLiteral("root");
    ForeignCopy foreign(
        {shared + QStringLiteral("/pellivark-") + uid + QStringLiteral(".socket"),
         shared + QStringLiteral("/runtime-") + user + QStringLiteral("/pellivark-") + uid +
             QStringLiteral(".socket"),
         foreignRun + QStringLiteral("/pellivark-") + uid + QStringLiteral(".socket"),
         foreignRun + QStringLiteral("/pellivark/instance.socket")},
        {shared + QStringLiteral("/runtime-") + user, foreignRun + QStringLiteral("/pellivark")});
    ASSERT_TRUE(foreign.Ready());
    environment.insert(QStringLiteral("TMPDIR"), shared);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), foreignRun);

    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PELLIVARK_BINARY), {});
    ASSERT_TRUE(program.waitForStarted(30000));
    // The program keeps its guard in the user's own cache folder and runs.
    const QString own = dir.File(QStringLiteral("cache/pellivark/instance.socket"));
    ASSERT_TRUE(
        RunUntil([&] { return QFile::exists(own) || program.state() == QProcess::NotRunning; }));
    EXPECT_EQ(program.state(), QProcess::Running) << "ended by another user's socket";
    EXPECT_EQ(foreign.Reports(), "") << "talked to another user's socket";
    program.kill();
    program.waitForFinished(30000);
}

} // namespace
} // namespace pv
