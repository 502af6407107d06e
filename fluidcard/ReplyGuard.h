// A process of its own, one per program, started at its first connection to the server's
// shell, that holds a copy of every connection the program has open, so that the server
// never writes a reply to a closed connection (FluidSynth dies of SIGPIPE when it does).
// When the program ends while a reply may be pending (killed, or quit in the middle of a
// change of the stack), the guard sends each connection it still holds a mark of its own,
// reads everything the server answers up to that mark, and only then lets it go. The guard
// holds nothing else of the program open. A CReplyGuard is one connection's hold on it.
#pragma once

#include <cstdint>
#include <utility>

class CReplyGuard
{
public:
    CReplyGuard() = default;
    ~CReplyGuard() { Release(); }
    CReplyGuard(CReplyGuard&& other) noexcept : m_key(std::exchange(other.m_key, 0)) {}
    CReplyGuard& operator=(CReplyGuard&& other) noexcept;
    CReplyGuard(const CReplyGuard&) = delete;
    CReplyGuard& operator=(const CReplyGuard&) = delete;

    // Hands the guard a copy of socket; when the guard cannot take it, nothing is held.
    static CReplyGuard Hold(int socket);

    // The connection has no reply pending: the guard lets its copy go.
    void Release();
    // The connection was given up while the server may still answer: the guard reads the
    // rest of the server's answers before it lets its copy go.
    void HandOver();

private:
    void Order(char order);

    uint64_t m_key = 0; // 0: nothing held
};
