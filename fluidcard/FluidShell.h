// One short-lived connection to a FluidSynth server's command shell over TCP. Every
// exchange has a time-out: connecting, sending and waiting for the reply.
//
// The shell sends no end mark after a reply, and some commands answer nothing at all, so
// each command is followed by "echo" with a mark of our own: the reply is every line
// before the mark comes back.
#pragma once

#include "PosixFile.h"

#include <chrono>
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

    CFluidShell(Address address, std::chrono::milliseconds timeout);

    // Connects when not connected yet. False when the server cannot be reached in time.
    bool Connect();
    // Sends one command line and collects the lines of its reply, without their line ends
    // and with any prompt taken off. False when the connection fails, the time-out passes
    // or the reply is not a shell's (too long, or no mark). A failed exchange closes the
    // connection. Time-out: this call's own when given, else the shell's.
    bool Exchange(const std::string& command, std::vector<std::string>& reply,
                  std::chrono::milliseconds timeout = std::chrono::milliseconds::zero());

    // The longest command line the shell reads as one line.
    static constexpr std::size_t MAX_COMMAND_LENGTH = 1023;

private:
    using Clock = std::chrono::steady_clock;

    bool ConnectTo(const struct addrinfo& candidate, Clock::time_point deadline);
    bool SendAll(const std::string& bytes, Clock::time_point deadline);
    // The next line of the reply, from what is buffered or read before the deadline.
    bool ReadLine(std::string& line, Clock::time_point deadline);
    bool WaitFor(short events, Clock::time_point deadline) const;

    Address m_address;
    std::chrono::milliseconds m_timeout;
    CPosixFile m_socket;
    std::string m_buffer;
};
