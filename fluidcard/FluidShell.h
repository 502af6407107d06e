// One short-lived connection to a FluidSynth server's command shell over TCP. Only the
// connect (and the sending of a command line) has a time-out: once a command is sent, its
// reply is awaited however long the server takes, because FluidSynth dies of SIGPIPE when
// it writes a reply to a connection its client has closed. For the same reason the
// program's guard process holds each connection until the server has answered, should
// this program end (or give the connection up) first. A caller that must not wait calls from a
// thread of its own.
//
// The shell sends no end mark after a reply, and some commands answer nothing at all, so
// each command is followed by "echo" with a mark of our own: the reply is every line
// before the mark comes back.
#pragma once

#include "PosixFile.h"
#include "ReplyGuard.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class CFluidShell
{
public:
    struct Address
    {
        std::string host;
        std::string port;
    };

    // "host:port" (the port after the last colon; a host in brackets may hold colons).
    static bool ParseAddress(const std::string& text, Address& address);

    enum class Failure
    {
        None,
        Refused,     // nothing listens at the address: the server is not running
        Unreachable, // the address cannot be resolved, or the connect timed out
        Lost,        // the connection ended before the reply did
        NotAShell    // the reply is not a shell's (too long, or not ended by the mark)
    };

    CFluidShell(Address address, std::chrono::milliseconds connectTimeout);

    // Connects when not connected yet. False when the server cannot be reached in time.
    bool Connect();
    // Sends one command line and collects the lines of its reply, without their line ends
    // and with any prompt taken off. False when the connection fails or ends, or the reply
    // is not a shell's; LastFailure() then says which. A failed exchange closes the
    // connection.
    bool Exchange(const std::string& command, std::vector<std::string>& reply);
    Failure LastFailure() const { return m_failure; }

    // The longest command line the shell reads as one line.
    static constexpr std::size_t MAX_COMMAND_LENGTH = 1023;

private:
    using Clock = std::chrono::steady_clock;

    // 0 when connected, else the errno of the failure.
    int ConnectTo(const struct addrinfo& candidate, Clock::time_point deadline);
    bool SendAll(const std::string& bytes, Clock::time_point deadline);
    // The next line of the reply, from what is buffered or read, waiting as long as it takes.
    bool ReadLine(std::string& line);
    // Waits until the socket is ready for events; without a deadline as long as it takes.
    bool WaitFor(short events, std::optional<Clock::time_point> deadline) const;
    bool Fail(Failure failure);

    Address m_address;
    std::chrono::milliseconds m_connectTimeout;
    CPosixFile m_socket;
    CReplyGuard m_guard;
    std::string m_buffer;
    Failure m_failure = Failure::None;
};
