#include "ReplyGuard.h"

#include "PosixFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char HOLD = 'o';
constexpr char RELEASE = 'r';
constexpr char HAND_OVER = 'h';

struct Message
{
    char order;
    uint64_t key;
};

// The line break first ends any command line the program left unfinished.
constexpr std::string_view GUARD_COMMAND = "\necho korvane-guard-end\n";
// What the server echoes back, without the line's end.
constexpr std::string_view GUARD_MARK = GUARD_COMMAND.substr(
    std::string_view("\necho ").size(), std::string_view("korvane-guard-end").size());
// How long the guard waits for a server's answers: longer than any load of a SoundFont
// takes, short enough that a hung server or a peer that is not one frees the guard.
constexpr int DRAIN_SECONDS = 300;

// More connections open at once go unguarded.
constexpr std::size_t MAX_HELD = 64;

// Sends a message, with fd when it is one; never waits, so that a guard busy reading a
// server's answers never holds the program up.
bool Send(int control, const Message& message, int fd)
{
    msghdr header{};
    iovec part{const_cast<Message*>(&message), sizeof message};
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    alignas(cmsghdr) char space[CMSG_SPACE(sizeof(int))] = {};
    if (fd >= 0) {
        header.msg_control = space;
        header.msg_controllen = sizeof space;
        cmsghdr* passed = CMSG_FIRSTHDR(&header);
        passed->cmsg_level = SOL_SOCKET;
        passed->cmsg_type = SCM_RIGHTS;
        passed->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(passed), &fd, sizeof fd);
    }
    ssize_t sent = 0;
    do {
        sent = ::sendmsg(control, &header, MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(sizeof message);
}

// What follows runs in a child of a process that may have other threads: it calls only
// functions that are safe there (no allocation, no locks).

// False at the end of the messages: the program ended.
bool Receive(int control, Message& message, int& fd)
{
    fd = -1;
    msghdr header{};
    iovec part{&message, sizeof message};
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    alignas(cmsghdr) char space[CMSG_SPACE(sizeof(int))] = {};
    header.msg_control = space;
    header.msg_controllen = sizeof space;
    ssize_t got = 0;
    do {
        got = ::recvmsg(control, &header, 0);
    } while (got < 0 && errno == EINTR);
    const cmsghdr* passed = CMSG_FIRSTHDR(&header);
    if (got > 0 && passed != nullptr && passed->cmsg_type == SCM_RIGHTS) {
        std::memcpy(&fd, CMSG_DATA(passed), sizeof fd);
    }
    return got == static_cast<ssize_t>(sizeof message);
}

long long SecondsNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec;
}

// Whether the socket is ready before the deadline (in SecondsNow's seconds).
bool WaitFor(int socket, short events, long long deadline)
{
    pollfd watched{socket, events, 0};
    for (;;) {
        const long long left = deadline - SecondsNow();
        if (left <= 0) {
            return false;
        }
        const int ready = ::poll(&watched, 1, static_cast<int>(left * 1000));
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

bool SendGuardCommand(int socket, long long deadline)
{
    std::size_t done = 0;
    while (done < GUARD_COMMAND.size()) {
        const ssize_t sent =
            ::send(socket, GUARD_COMMAND.data() + done, GUARD_COMMAND.size() - done, MSG_NOSIGNAL);
        if (sent > 0) {
            done += static_cast<std::size_t>(sent);
        } else if (sent == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) ||
                   !WaitFor(socket, POLLOUT, deadline)) {
            return false;
        }
    }
    return true;
}

// Reads the server's answers until the guard's own mark, or the deadline.
void ReadToGuardMark(int socket, long long deadline)
{
    std::size_t matched = 0;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::recv(socket, chunk, sizeof chunk, 0);
        if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
            return;
        }
        if (got < 0) {
            if (!WaitFor(socket, POLLIN, deadline)) {
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

// Lets a connection go once the server has answered everything sent on it.
void Drain(int socket)
{
    const long long deadline = SecondsNow() + DRAIN_SECONDS;
    if (SendGuardCommand(socket, deadline)) {
        ReadToGuardMark(socket, deadline);
    }
    ::close(socket);
}

struct Held
{
    uint64_t key = 0;
    int fd = -1;
};

void Take(Held (&held)[MAX_HELD], const Message& message, int fd)
{
    for (Held& slot : held) {
        if (message.order == HOLD && slot.fd < 0) {
            slot = {message.key, fd};
            return;
        }
        if (message.order != HOLD && slot.fd >= 0 && slot.key == message.key) {
            if (message.order == HAND_OVER) {
                Drain(slot.fd);
            } else {
                ::close(slot.fd);
            }
            slot = Held();
            return;
        }
    }
    if (fd >= 0) {
        ::close(fd);
    }
}

[[noreturn]] void Guard(int control)
{
    // A session of its own: the Ctrl+C that ends the program on a terminal, or a signal to
    // its process group, does not end the guard with it.
    ::setsid();
    // Nothing else of the program is held open: not its standard output, which a caller
    // may read to its end, nor its locks.
    if (control <= STDERR_FILENO) {
        control = ::fcntl(control, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    }
    ::close_range(0, static_cast<unsigned>(control) - 1, 0);
    ::close_range(static_cast<unsigned>(control) + 1, ~0U, 0);
    // Standard input, output and error lead nowhere, so that no connection received later
    // takes their numbers: what a library wrote to them would be typed into the server's
    // shell.
    for (int standard = STDIN_FILENO; standard <= STDERR_FILENO; ++standard) {
        ::open("/dev/null", O_RDWR);
    }
    // The program's signal handlers and blocked signals are not the guard's.
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction standardAction = {};
    standardAction.sa_handler = SIG_DFL;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        ::sigaction(signal, &standardAction, nullptr);
    }
    Held held[MAX_HELD];
    Message message{};
    int fd = -1;
    while (Receive(control, message, fd)) {
        Take(held, message, fd);
    }
    // The program ended: every connection it left open may still have answers coming.
    for (const Held& slot : held) {
        if (slot.fd >= 0) {
            Drain(slot.fd);
        }
    }
    ::_exit(0);
}

// The program's side: its connection to the guard, started again in a child process that
// goes on without a program of its own.
struct Channel
{
    std::mutex mutex;
    pid_t owner = -1;
    CPosixFile control;
    uint64_t lastKey = 0;
};

Channel& TheChannel()
{
    // Never destroyed: a connection may still close on another thread as the program ends.
    static Channel* const channel = new Channel;
    return *channel;
}

bool StartGuard(Channel& channel)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
        return false;
    }
    CPosixFile ours(ends[0]);
    const CPosixFile guardEnd(ends[1]);
    const pid_t child = ::fork();
    if (child == 0) {
        // The guard is a grandchild, which nobody has to wait for if this program ends first.
        if (::fork() == 0) {
            Guard(guardEnd.Get());
        }
        ::_exit(0);
    }
    if (child < 0) {
        return false;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    channel.control = std::move(ours);
    channel.owner = ::getpid();
    return true;
}

} // namespace

CReplyGuard& CReplyGuard::operator=(CReplyGuard&& other) noexcept
{
    if (this != &other) {
        Release();
        m_key = std::exchange(other.m_key, 0);
    }
    return *this;
}

CReplyGuard CReplyGuard::Hold(int socket)
{
    Channel& channel = TheChannel();
    const std::lock_guard lock(channel.mutex);
    if ((channel.owner != ::getpid() || !channel.control.IsOpen()) && !StartGuard(channel)) {
        return {};
    }
    CReplyGuard guard;
    if (Send(channel.control.Get(), {HOLD, channel.lastKey + 1}, socket)) {
        guard.m_key = ++channel.lastKey;
    } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
        // The guard is gone: the next connection starts another.
        channel.control = CPosixFile();
    }
    return guard;
}

void CReplyGuard::Release()
{
    Order(RELEASE);
}

void CReplyGuard::HandOver()
{
    Order(HAND_OVER);
}

void CReplyGuard::Order(char order)
{
    if (m_key == 0) {
        return;
    }
    Channel& channel = TheChannel();
    const std::lock_guard lock(channel.mutex);
    if (channel.owner == ::getpid() && channel.control.IsOpen()) {
        Send(channel.control.Get(), {order, m_key}, -1);
    }
    m_key = 0;
}
