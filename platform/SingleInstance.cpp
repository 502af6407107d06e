#include "SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

// Long enough for a busy desktop, short enough that a hung copy does not stall a start.
constexpr int kConnectTimeoutMs = 1000;
const QByteArray kComeForward = QByteArrayLiteral("show\n");

} // namespace

CSingleInstance::CSingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    // The runtime directory is the user's own; Qt makes one when the session has none.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    m_serverName = runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

CSingleInstance::~CSingleInstance() = default;

bool CSingleInstance::Claim()
{
    if (TellRunningCopy())
        return false;
    // Nobody answered: a socket left by a copy that crashed is in the way of listening.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnConnection);
    // A copy that cannot listen runs on alone rather than not at all.
    m_server->listen(m_serverName);
    return true;
}

bool CSingleInstance::TellRunningCopy() const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    // The connection itself is the message; the running copy answers it whatever arrives.
    socket.write(kComeForward);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    return true;
}

// Every connection is a later start; what it sends needs no reading.
void CSingleInstance::OnConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        emit AnotherStart();
    }
}
