#include "SingleInstance.h"

#include "NativePath.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Long enough for a busy desktop, short enough that a hung copy does not stall a start.
constexpr int kConnectTimeoutMs = 1000;
// Starts at the same moment wait their turn for the lock, looking again at short steps: each
// holds it for a moment only.
constexpr int kLockWaitMs = 5000;
constexpr int kLockStepMs = 2;
// A request is two short lines; a peer that sends more is not a copy of this program.
constexpr qsizetype kMaxRequestBytes = 16 * 1024;
const QByteArray kComeForward = QByteArrayLiteral("show\n");
const QByteArray kOpenFile = QByteArrayLiteral("open ");

QString RendezvousPath(const QString& name)
{
    // The runtime directory is the user's own; Qt makes one when the session has none.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

// The socket address of path; false when the path is too long for one.
bool SocketAddress(const QString& path, sockaddr_un& address)
{
    const QByteArray bytes = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (bytes.isEmpty() || static_cast<size_t>(bytes.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}

// Sends all of data; MSG_NOSIGNAL keeps a copy that has gone from killing this one.
bool SendAll(int fd, const QByteArray& data)
{
    qsizetype sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.constData() + sent,
                                 static_cast<size_t>(data.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

} // namespace

CSingleInstance::CSingleInstance(const QString& name, QObject* parent)
    : QObject(parent), m_serverName(RendezvousPath(name)), m_lock(m_serverName + ".lock")
{
}

CSingleInstance::~CSingleInstance()
{
    StopListening();
}

bool CSingleInstance::Claim(const QString& file)
{
    if (TellRunningCopy(file))
        return false;
    // Looking again and listening are one step under the lock: of two starts at the same
    // moment, the second finds the first listening. A lock left by a killed copy is taken
    // over, since its process is gone.
    if (!TakeLock())
        return !TellRunningCopy(file);
    const bool first = !TellRunningCopy(file);
    // A copy that cannot listen runs on alone rather than not at all.
    if (first)
        Listen();
    m_lock.unlock();
    return first;
}

// QLockFile's own wait doubles its pauses, up to seconds, which twenty starts at once would
// reach.
bool CSingleInstance::TakeLock()
{
    const QDeadlineTimer deadline(kLockWaitMs);
    while (!m_lock.tryLock(kLockStepMs)) {
        if (m_lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
    }
    return true;
}

bool CSingleInstance::TellRunningCopy(const QString& file) const
{
    sockaddr_un address;
    if (!SocketAddress(m_serverName, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // A copy too busy to take the connection holds this start up no longer than this.
    const timeval timeout{kConnectTimeoutMs / 1000, (kConnectTimeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    // A socket left by a copy that was killed refuses the connection.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    // One line asks to come forward, another names the file; a path holds no line break
    // that a file manager hands over.
    QByteArray request = kComeForward;
    if (!file.isEmpty())
        request += kOpenFile + CNativePath::Encode(file) + '\n';
    SendAll(fd, request);
    ::close(fd);
    return true;
}

bool CSingleInstance::Listen()
{
    sockaddr_un address;
    if (!SocketAddress(m_serverName, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    // Nobody answered: a socket left by a copy that was killed is in the way of listening.
    ::unlink(address.sun_path);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        ::close(fd);
        return false;
    }
    m_listener = fd;
    m_listenerNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_listenerNotifier, &QSocketNotifier::activated, this, &CSingleInstance::OnConnection);
    return true;
}

// The lock is taken before the socket closes: a copy starting in between would find the
// socket refusing, put its own in its place, and then lose it to this removal.
void CSingleInstance::StopListening()
{
    while (!m_requests.empty())
        EndRequest(m_requests.begin()->first, false);
    if (m_listener < 0)
        return;
    const bool locked = TakeLock();
    delete m_listenerNotifier;
    m_listenerNotifier = nullptr;
    ::close(m_listener);
    m_listener = -1;
    if (locked) {
        QFile::remove(m_serverName);
        m_lock.unlock();
    }
}

// Every connection is a later start; what it asks is read once it has said all and gone.
void CSingleInstance::OnConnection()
{
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0 && errno == EINTR)
            continue;
        if (fd < 0)
            return;
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { OnRequestReadable(fd); });
        m_requests[fd] = Request{notifier, {}};
    }
}

void CSingleInstance::OnRequestReadable(int fd)
{
    Request& request = m_requests.at(fd);
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (n <= 0) {
            EndRequest(fd, n == 0);
            return;
        }
        request.received.append(buffer, n);
        if (request.received.size() > kMaxRequestBytes) {
            EndRequest(fd, false);
            return;
        }
    }
}

// A complete request (the peer has closed its end) is passed on; any other is dropped.
void CSingleInstance::EndRequest(int fd, bool complete)
{
    const auto found = m_requests.find(fd);
    const QByteArray received = found->second.received;
    found->second.notifier->setEnabled(false);
    found->second.notifier->deleteLater();
    m_requests.erase(found);
    ::close(fd);
    if (!complete)
        return;
    QString file;
    for (const QByteArray& line : received.split('\n')) {
        if (line.startsWith(kOpenFile))
            file = CNativePath::Decode(line.mid(kOpenFile.size()));
    }
    emit AnotherStart(file);
}
