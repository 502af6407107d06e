#include "ReplyGuard.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char RELEASE = 'r';
constexpr char HAND_OVER = 'h';
// The line break first ends any command line the program left unfinished.
constexpr std::string_view GUARD_COMMAND = "\necho korvane-guard-end\n";
// The line the server echoes back.
constexpr std::string_view GUARD_MARK = GUARD_COMMAND.substr(std::string_view("\necho ").size());

// What follows runs in a child of a process that may have other threads: it calls only
// functions that are safe there (no allocation, no locks).

void CloseAllBut(int first, int second)
{
    const auto low = static_cast<unsigned>(std::min(first, second));
    const auto high = static_cast<unsigned>(std::max(first, second));
    // Nothing else of the program is held open: not its standard output, which a caller
    // may read to its end, nor its locks.
    if (low > 0) {
        ::close_range(0, low - 1, 0);
    }
    if (high > low + 1) {
        ::close_range(low + 1, high - 1, 0);
    }
    ::close_range(high + 1, ~0U, 0);
}

bool WaitFor(int socket, short events)
{
    pollfd watched{socket, events, 0};
    while (::poll(&watched, 1, -1) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

bool SendGuardCommand(int socket)
{
    std::size_t done = 0;
    while (done < GUARD_COMMAND.size()) {
        const ssize_t sent =
            ::send(socket, GUARD_COMMAND.data() + done, GUARD_COMMAND.size() - done, MSG_NOSIGNAL);
        if (sent > 0) {
            done += static_cast<std::size_t>(sent);
        } else if (sent == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) ||
                   !WaitFor(socket, POLLOUT)) {
            return false;
        }
    }
    return true;
}

// Reads the server's answers, however long they take, until the guard's own mark.
void ReadToGuardMark(int socket)
{
    std::size_t matched = 0;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::recv(socket, chunk, sizeof chunk, 0);
        if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
            return;
        }
        if (got < 0) {
            if (!WaitFor(socket, POLLIN)) {
                return;
            }
            continue;
        }
        for (ssize_t i = 0; i < got; ++i) {
            // The mark's first letter occurs in it only once: a mismatch starts over.
            matched =
                chunk[i] == GUARD_MARK[matched] ? matched + 1 : (chunk[i] == GUARD_MARK[0] ? 1 : 0);
            if (matched == GUARD_MARK.size()) {
                return;
            }
        }
    }
}

[[noreturn]] void Guard(int socket, int control)
{
    // A session of its own: the Ctrl+C that ends the program on a terminal, or a signal to
    // its process group, does not end the guard with it.
    ::setsid();
    CloseAllBut(socket, control);
    char order = 0;
    ssize_t got = 0;
    do {
        got = ::read(control, &order, 1);
    } while (got < 0 && errno == EINTR);
    // Anything but a release: the program ended or gave up while a reply may be pending.
    if (got != 1 || order != RELEASE) {
        if (SendGuardCommand(socket)) {
            ReadToGuardMark(socket);
        }
    }
    ::_exit(0);
}

} // namespace

CReplyGuard& CReplyGuard::operator=(CReplyGuard&& other) noexcept
{
    if (this != &other) {
        Release();
        m_control = std::move(other.m_control);
    }
    return *this;
}

CReplyGuard CReplyGuard::Start(int socket)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return {};
    }
    CReplyGuard guard;
    guard.m_control = CPosixFile(ends[0]);
    const CPosixFile guardEnd(ends[1]);
    const pid_t child = ::fork();
    if (child == 0) {
        // The guard is a grandchild, which nobody has to wait for if this program ends first.
        if (::fork() == 0) {
            Guard(socket, guardEnd.Get());
        }
        ::_exit(0);
    }
    if (child < 0) {
        return {};
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return guard;
}

void CReplyGuard::Release()
{
    if (!m_control.IsOpen()) {
        return;
    }
    if (::send(m_control.Get(), &RELEASE, 1, MSG_NOSIGNAL) == 1) {
        // The guard sends nothing: its end closes when it ends.
        char unused = 0;
        ssize_t got = 0;
        do {
            got = ::recv(m_control.Get(), &unused, 1, 0);
        } while (got > 0 || (got < 0 && errno == EINTR));
    }
    m_control = CPosixFile();
}

void CReplyGuard::HandOver()
{
    if (m_control.IsOpen()) {
        ::send(m_control.Get(), &HAND_OVER, 1, MSG_NOSIGNAL);
        m_control = CPosixFile();
    }
}
