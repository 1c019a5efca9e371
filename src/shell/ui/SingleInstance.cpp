// One running copy per user: a lock decides, a local socket brings the running copy forward.
#include "shell/ui/SingleInstance.h"

#include "music/base/Log.h"
#include "music/files/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>

namespace pv {

namespace {

const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");
// The running copy answers once it has taken the request: a copy that holds the lock but no
// longer handles events must not make later starts end for nothing.
const QByteArray kRaiseAnswer = QByteArrayLiteral("raised\n");
const QString kFolderName = QStringLiteral("pellivark");
const QString kLockName = QStringLiteral("instance.lock");
const QString kSocketName = QStringLiteral("instance.socket");
constexpr int kAttemptMs = 2000;
constexpr unsigned long kRetryPauseMs = 20;

// The user's own folder that nobody else may write to: another user who could write there
// could move our folder away and put theirs in its place.
bool UsableBase(const QString& base, QString& why)
{
    struct stat st
    {
    };
    // The base itself may be reached through a link (a cache folder kept elsewhere).
    if (stat(QFile::encodeName(base).constData(), &st) != 0) {
        why = SystemErrorText(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid() || (st.st_mode & S_IWOTH) != 0) {
        why = QStringLiteral("not a folder of this user's own, closed to others");
        return false;
    }
    return true;
}

std::optional<QString> MakePrivate(const QString& base, QString& why)
{
    if (!UsableBase(base, why))
        return std::nullopt;
    const QString folder = QDir(base).filePath(kFolderName);
    const QByteArray native = QFile::encodeName(folder);
    if (mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        why = SystemErrorText(errno);
        return std::nullopt;
    }
    struct stat st
    {
    };
    // lstat: a link of that name could lead anywhere, a folder of another owner is theirs.
    if (lstat(native.constData(), &st) != 0) {
        why = SystemErrorText(errno);
        return std::nullopt;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid()) {
        why = QStringLiteral("%1 is not a folder of this user's own").arg(folder);
        return std::nullopt;
    }
    if ((st.st_mode & 077) != 0 && chmod(native.constData(), 0700) != 0) {
        why = SystemErrorText(errno);
        return std::nullopt;
    }
    return folder;
}

// The other end of a connection runs as this user: only such a copy is this user's program.
bool PeerIsThisUser(int fd)
{
    ucred peer{};
    socklen_t length = sizeof(peer);
    return fd >= 0 && getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           length == sizeof(peer) && peer.uid == geteuid();
}

// The socket file must be this user's before anything is said to it.
bool SocketIsThisUsers(const QString& path)
{
    struct stat st
    {
    };
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISSOCK(st.st_mode) &&
           st.st_uid == geteuid();
}

} // namespace

Result<QString, GuardError> SingleInstance::PrivateFolder()
{
    QStringList refused;
    QString why;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        if (const auto folder = MakePrivate(runtime, why))
            return *folder;
        refused.push_back(runtime + QStringLiteral(": ") + why);
    }
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty()) {
        QDir().mkpath(cache);
        if (const auto folder = MakePrivate(cache, why))
            return *folder;
        refused.push_back(cache + QStringLiteral(": ") + why);
    }
    return Fail(GuardError::NoPrivateFolder, refused.join(QStringLiteral("; ")));
}

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), m_folder(std::move(folder))
{
}

SingleInstance::~SingleInstance()
{
    // Closing the server removes the socket file by its name: done while the lock is still
    // held, it can only be this copy's.
    if (m_server != nullptr) {
        m_server->close();
        delete m_server;
    }
    if (m_lockFd >= 0)
        close(m_lockFd);
}

QString SingleInstance::SocketName() const
{
    return QDir(m_folder).filePath(kSocketName);
}

SingleInstance::Start SingleInstance::Begin(std::function<void()> raise, int waitMs)
{
    m_raise = std::move(raise);
    const QString lockPath = QDir(m_folder).filePath(kLockName);
    // Closed on exec: a browser or viewer started from the program must not keep the lock
    // after the program ends.
    m_lockFd = open(QFile::encodeName(lockPath).constData(),
                    O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_lockFd < 0) {
        qCWarning(lcPellivark, "Single-instance lock %s: %s", qUtf8Printable(lockPath),
                  qUtf8Printable(SystemErrorText(errno)));
        return Start::Unguarded;
    }
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        // flock, not a lock file's existence: the system drops it with a crashed copy, and no
        // process id has to be guessed at.
        if (flock(m_lockFd, LOCK_EX | LOCK_NB) == 0)
            break;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            qCWarning(lcPellivark, "Single-instance lock %s: %s", qUtf8Printable(lockPath),
                      qUtf8Printable(SystemErrorText(errno)));
            return Start::Unguarded;
        }
        // The holder may still be on its way to listening: ask again until it answers.
        const auto attemptMs =
            static_cast<int>(std::min<qint64>(kAttemptMs, deadline.remainingTime()));
        if (RaiseRunningInstance(attemptMs))
            return Start::Raised;
        if (deadline.hasExpired()) {
            qCWarning(lcPellivark, "The running copy does not answer; starting another");
            return Start::Unguarded;
        }
        QThread::msleep(kRetryPauseMs);
    }

    // Under the lock no other copy runs, so a socket file still there is a crashed copy's.
    const QString socketName = SocketName();
    QLocalServer::removeServer(socketName);
    m_server = new QLocalServer;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
    if (!m_server->listen(socketName))
        qCWarning(lcPellivark, "Single-instance socket %s: %s", qUtf8Printable(socketName),
                  qUtf8Printable(m_server->errorString()));
    return Start::First;
}

bool SingleInstance::RaiseRunningInstance(int timeoutMs)
{
    const QString socketName = SocketName();
    if (!SocketIsThisUsers(socketName))
        return false;
    QLocalSocket socket;
    socket.connectToServer(socketName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    if (!PeerIsThisUser(static_cast<int>(socket.socketDescriptor()))) {
        socket.abort();
        return false;
    }
    socket.write(kRaiseRequest);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QByteArray answer;
    const QDeadlineTimer deadline(timeoutMs);
    while (!answer.endsWith('\n') && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        answer += socket.read(kRaiseAnswer.size() - answer.size());
    }
    return answer == kRaiseAnswer;
}

void SingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsThisUser(static_cast<int>(socket->socketDescriptor()))) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray request = socket->readLine();
            if (request != kRaiseRequest) {
                socket->abort();
                return;
            }
            socket->write(kRaiseAnswer);
            socket->flush();
            socket->disconnectFromServer();
            if (m_raise)
                m_raise();
        });
    }
}

const char* StartName(SingleInstance::Start start)
{
    switch (start) {
    case SingleInstance::Start::First:
        return "first";
    case SingleInstance::Start::Raised:
        return "raised";
    case SingleInstance::Start::Unguarded:
        return "unguarded";
    }
    return "?";
}

} // namespace pv
