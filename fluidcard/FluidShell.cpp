#include "FluidShell.h"

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr const char* END_MARK = "korvane-reply-end";
// A reply longer than this is not one of the few short replies the card asks for.
constexpr std::size_t MAX_REPLY_BYTES = 64 * 1024;
// What the shell prints before it reads a line when the server runs with a prompt.
constexpr std::string_view PROMPT = "> ";

void StripPrompts(std::string& line)
{
    while (line.starts_with(PROMPT)) {
        line.erase(0, PROMPT.size());
    }
}

} // namespace

bool CFluidShell::ParseAddress(const std::string& text, Address& address)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) {
        return false;
    }
    std::string host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    const std::string port = text.substr(colon + 1);
    if (port.find_first_not_of("0123456789") != std::string::npos || port.size() > 5 ||
        std::stoul(port) == 0 || std::stoul(port) > 65535) {
        return false;
    }
    address = {host, port};
    return true;
}

CFluidShell::CFluidShell(Address address, std::chrono::milliseconds connectTimeout)
    : m_address(std::move(address)), m_connectTimeout(connectTimeout)
{
}

bool CFluidShell::Connect()
{
    if (m_socket.IsOpen()) {
        return true;
    }
    const Clock::time_point deadline = Clock::now() + m_connectTimeout;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (::getaddrinfo(m_address.host.c_str(), m_address.port.c_str(), &hints, &found) != 0) {
        return Fail(Failure::Unreachable);
    }
    Failure failure = Failure::Unreachable;
    for (const addrinfo* candidate = found; candidate != nullptr && !m_socket.IsOpen();
         candidate = candidate->ai_next) {
        if (const int error = ConnectTo(*candidate, deadline); error == ECONNREFUSED) {
            failure = Failure::Refused;
        }
    }
    ::freeaddrinfo(found);
    m_buffer.clear();
    if (!m_socket.IsOpen()) {
        return Fail(failure);
    }
    m_guard = CReplyGuard::Hold(m_socket.Get());
    return true;
}

int CFluidShell::ConnectTo(const addrinfo& candidate, Clock::time_point deadline)
{
    m_socket = CPosixFile(::socket(candidate.ai_family,
                                   candidate.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                                   candidate.ai_protocol));
    if (!m_socket.IsOpen()) {
        return errno;
    }
    if (::connect(m_socket.Get(), candidate.ai_addr, candidate.ai_addrlen) == 0) {
        return 0;
    }
    int error = errno;
    socklen_t length = sizeof error;
    if (error == EINPROGRESS) {
        error = ETIMEDOUT;
        if (WaitFor(POLLOUT, deadline) &&
            ::getsockopt(m_socket.Get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
            error = errno;
        }
    }
    if (error != 0) {
        m_socket = CPosixFile();
    }
    return error;
}

bool CFluidShell::Exchange(const std::string& command, std::vector<std::string>& reply)
{
    reply.clear();
    m_failure = Failure::None;
    if (!Connect()) {
        return false;
    }
    // Sending a line of this size only waits when the server's buffer is full. A line sent
    // in part has no reply to wait for, and must not be ended by anyone: the guard lets it
    // go without a word.
    if (!SendAll(command + "\necho " + END_MARK + "\n", Clock::now() + m_connectTimeout)) {
        m_guard.Release();
        return Fail(Failure::Lost);
    }
    std::size_t replyBytes = 0;
    std::string line;
    while (ReadLine(line)) {
        StripPrompts(line);
        if (line == END_MARK) {
            return true;
        }
        replyBytes += line.size();
        if (replyBytes > MAX_REPLY_BYTES) {
            // Not the short reply of a shell: whatever listens there is no FluidSynth, and
            // may be left.
            return Fail(Failure::NotAShell);
        }
        reply.push_back(std::move(line));
    }
    return Fail(reply.empty() ? Failure::Lost : Failure::NotAShell);
}

bool CFluidShell::Fail(Failure failure)
{
    // A connection lost on the way may still carry the server's answers; what answers as no
    // shell is not waited for.
    if (failure == Failure::Lost) {
        m_guard.HandOver();
    } else {
        m_guard.Release();
    }
    m_socket = CPosixFile();
    m_failure = failure;
    return false;
}

bool CFluidShell::SendAll(const std::string& bytes, Clock::time_point deadline)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        // MSG_NOSIGNAL: a server gone away must not kill the calling program with SIGPIPE.
        const ssize_t sent =
            ::send(m_socket.Get(), bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent > 0) {
            done += static_cast<std::size_t>(sent);
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(POLLOUT, deadline)) {
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

bool CFluidShell::ReadLine(std::string& line)
{
    for (;;) {
        const std::size_t newline = m_buffer.find('\n');
        if (newline != std::string::npos) {
            line.assign(m_buffer, 0, newline);
            m_buffer.erase(0, newline + 1);
            return true;
        }
        if (m_buffer.size() > MAX_REPLY_BYTES || !WaitFor(POLLIN, std::nullopt)) {
            return false;
        }
        // The shell writes a reply and the mark after it separately; the mark waits for
        // our acknowledgement of the reply (Nagle), which must not be delayed by 40 ms.
        const int on = 1;
        ::setsockopt(m_socket.Get(), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        char chunk[4096];
        const ssize_t got = ::recv(m_socket.Get(), chunk, sizeof chunk, 0);
        if (got > 0) {
            m_buffer.append(chunk, static_cast<std::size_t>(got));
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
            return false;
        }
    }
}

bool CFluidShell::WaitFor(short events, std::optional<Clock::time_point> deadline) const
{
    for (;;) {
        int timeoutMs = -1;
        if (deadline) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
            if (left.count() <= 0) {
                return false;
            }
            timeoutMs = static_cast<int>(left.count());
        }
        pollfd watched{m_socket.Get(), events, 0};
        const int ready = ::poll(&watched, 1, timeoutMs);
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}
