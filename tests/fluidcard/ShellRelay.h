// A relay between the card and a FluidSynth server, for tests: it passes every byte both
// ways, and once the server answers a command line that starts with a given text, it ends
// the client's connection instead of passing the answer on, as a network that fails would.
// Cutting at the answer, not at the command, means the server has done the command when the
// client learns of the loss, whatever the load of the machine. What the server still sends
// is read and thrown away. It also counts the commands that passed.
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
    // dropAfter: the start of the command whose answer cuts the client off; empty: never.
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
        bool cutAtAnswer = false;
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
