// One running copy per user over a local socket.
#include "shell/ui/SingleInstance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace pv {

namespace {

const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");

} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_serverName(std::move(serverName))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultServerName()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("pellivark-%1.socket").arg(getuid()));
}

bool SingleInstance::RaiseRunningInstance(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRaiseRequest);
    socket.waitForBytesWritten(timeoutMs);
    // The running copy closes the connection once it has taken the request; waiting for that
    // keeps this copy from ending before the request was read.
    socket.waitForDisconnected(timeoutMs);
    return true;
}

bool SingleInstance::Listen(std::function<void()> raise)
{
    m_raise = std::move(raise);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
    if (m_server->listen(m_serverName))
        return true;
    // Nobody answered before this call, so a socket file still there is a crashed copy's.
    if (m_server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(m_serverName);
        if (m_server->listen(m_serverName))
            return true;
    }
    return false;
}

void SingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray request = socket->readLine();
            socket->disconnectFromServer();
            if (request == kRaiseRequest && m_raise)
                m_raise();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

} // namespace pv
