#include "SingleInstance.h"

#include "NativePath.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

// Long enough for a busy desktop, short enough that a hung copy does not stall a start.
constexpr int kConnectTimeoutMs = 1000;
const QByteArray kComeForward = QByteArrayLiteral("show\n");
const QByteArray kOpenFile = QByteArrayLiteral("open ");

} // namespace

CSingleInstance::CSingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    // The runtime directory is the user's own; Qt makes one when the session has none.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    m_serverName = runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

CSingleInstance::~CSingleInstance() = default;

bool CSingleInstance::Claim(const QString& file)
{
    if (TellRunningCopy(file))
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

bool CSingleInstance::TellRunningCopy(const QString& file) const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    // One line asks to come forward, another names the file; a path holds no line break
    // that a file manager hands over.
    socket.write(kComeForward);
    if (!file.isEmpty())
        socket.write(kOpenFile + CNativePath::Encode(file) + '\n');
    socket.waitForBytesWritten(kConnectTimeoutMs);
    return true;
}

// Every connection is a later start; what it asks is read once it has said all and gone.
void CSingleInstance::OnConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (socket->state() == QLocalSocket::UnconnectedState)
            OnRequest(socket);
        else
            connect(socket, &QLocalSocket::disconnected, this,
                    [this, socket] { OnRequest(socket); });
    }
}

void CSingleInstance::OnRequest(QLocalSocket* socket)
{
    QString file;
    for (const QByteArray& line : socket->readAll().split('\n')) {
        if (line.startsWith(kOpenFile))
            file = CNativePath::Decode(line.mid(kOpenFile.size()));
    }
    socket->deleteLater();
    emit AnotherStart(file);
}
