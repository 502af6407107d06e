// A process of its own that holds a copy of a connection to the server's shell, so that
// the server never writes a reply to a closed connection (FluidSynth dies of SIGPIPE when
// it does): when this program ends in the middle of an exchange (killed, or quit while a
// change of the stack is under way), the guard sends a mark of its own, reads everything
// the server still answers up to that mark, and only then lets the connection go. When the
// connection is simply done with, the guard lets its copy go at once and is waited for.
#pragma once

#include "PosixFile.h"

class CReplyGuard
{
public:
    CReplyGuard() = default;
    ~CReplyGuard() { Release(); }
    CReplyGuard(CReplyGuard&&) noexcept = default;
    CReplyGuard& operator=(CReplyGuard&& other) noexcept;
    CReplyGuard(const CReplyGuard&) = delete;
    CReplyGuard& operator=(const CReplyGuard&) = delete;

    // Starts a guard over socket; one that cannot be started guards nothing.
    static CReplyGuard Start(int socket);

    // The connection has no reply pending: the guard lets its copy go; returns once the
    // guard has ended.
    void Release();
    // The connection was given up while the server may still answer: the guard reads the
    // rest of the server's answers before it lets its copy go. Not waited for.
    void HandOver();

private:
    CPosixFile m_control; // our end of a socket pair with the guard
};
