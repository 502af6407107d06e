// A relay between the card and a FluidSynth server, for tests: it passes every byte both
// ways, and once a command line that starts with a given text has gone through to the
// server, it ends the client's connection before the reply comes back, as a network that
// fails would. The reply is still read from the server, which never writes to a closed
// connection. It also counts the commands that passed.
#pragma once

#include <cstddef>
#include <mutex>
#include <poll.h>
#include <string>
#include <thread>
#include <vector>

class CShellRelay
{
public:
    // dropAfter: the start of the command after which the client is cut off; empty: never.
    CShellRelay(int serverPort, std::string dropAfter = {});
    ~CShellRelay();
    CShellRelay(const CShellRelay&) = delete;
    CShellRelay& operator=(const CShellRelay&) = delete;

    int Port() const { return m_port; }
    // How many command lines starting with text went through so far.
    int Count(const std::string& text) const;

private:
    // A client's connection and the relay's own to the server.
    struct Pair
    {
        int client;
        int server;
        std::string line; // the command line read so far
    };

    void Serve();
    void Accept();
    void DrainServers(const pollfd* watched, std::size_t count);
    // Passes what one side has to the other; false when the pair is done.
    bool Pass(Pair& pair, bool fromClient);
    void NoteCommands(Pair& pair, const std::string& bytes);

    int m_serverPort;
    std::string m_dropAfter;
    int m_listener = -1;
    int m_port = 0;
    int m_stopPipe[2] = {-1, -1};
    std::vector<Pair> m_pairs;
    // Connections to the server whose client was cut off: read until the relay ends.
    std::vector<int> m_drained;
    std::vector<std::string> m_commands;
    mutable std::mutex m_mutex;
    std::thread m_thread;
};
