#include "ShellRelay.h"

#include "LoopbackListener.h"

#include <algorithm>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int ConnectTo(int port)
{
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(server);
        return -1;
    }
    return server;
}

} // namespace

CShellRelay::CShellRelay(int serverPort, std::string dropAfter)
    : m_serverPort(serverPort), m_dropAfter(std::move(dropAfter))
{
    const CLoopbackListener listener = CLoopbackListener::Open();
    m_listener = listener.fd;
    m_port = listener.port;
    if (::pipe2(m_stopPipe, O_CLOEXEC) != 0) {
        m_stopPipe[0] = m_stopPipe[1] = -1;
    }
    m_thread = std::thread([this] { Serve(); });
}

CShellRelay::~CShellRelay()
{
    ::close(m_stopPipe[1]);
    m_thread.join();
    ::close(m_stopPipe[0]);
    ::close(m_listener);
    for (const Pair& pair : m_pairs) {
        ::close(pair.client);
        ::close(pair.server);
    }
    for (const int server : m_drained) {
        ::close(server);
    }
}

int CShellRelay::Count(const std::string& text) const
{
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(
        std::count_if(m_commands.begin(), m_commands.end(),
                      [&](const std::string& line) { return line.starts_with(text); }));
}

// Each round watches the pairs and drained servers there were when it began; what it adds
// (a new pair, a newly drained server) is watched from the next round on.
void CShellRelay::Serve()
{
    for (;;) {
        std::vector<pollfd> watched = {{m_stopPipe[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
        for (const Pair& pair : m_pairs) {
            watched.push_back({pair.client, POLLIN, 0});
            watched.push_back({pair.server, POLLIN, 0});
        }
        for (const int server : m_drained) {
            watched.push_back({server, POLLIN, 0});
        }
        if (::poll(watched.data(), watched.size(), -1) < 0 || watched[0].revents != 0) {
            return;
        }
        const std::size_t pairCount = m_pairs.size();
        std::vector<Pair> going;
        for (std::size_t i = 0; i < pairCount; ++i) {
            const bool clientReady = watched[2 + 2 * i].revents != 0;
            const bool serverReady = watched[3 + 2 * i].revents != 0;
            if ((!clientReady || Pass(m_pairs[i], true)) &&
                (!serverReady || Pass(m_pairs[i], false))) {
                going.push_back(m_pairs[i]);
            }
        }
        m_pairs = going;
        DrainServers(watched.data() + 2 + 2 * pairCount, watched.size() - 2 - 2 * pairCount);
        if (watched[1].revents != 0) {
            Accept();
        }
    }
}

// What a server still sends to a dropped client is thrown away; a server that has closed
// its end is let go.
void CShellRelay::DrainServers(const pollfd* watched, std::size_t count)
{
    char sink[4096];
    std::vector<int> still;
    for (std::size_t i = 0; i < m_drained.size(); ++i) {
        if (i < count && watched[i].revents != 0 && ::read(m_drained[i], sink, sizeof sink) <= 0) {
            ::close(m_drained[i]);
            continue;
        }
        still.push_back(m_drained[i]);
    }
    m_drained = still;
}

void CShellRelay::Accept()
{
    const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    const int server = client >= 0 ? ConnectTo(m_serverPort) : -1;
    if (server < 0) {
        ::close(client);
        return;
    }
    m_pairs.push_back({client, server, {}});
}

bool CShellRelay::Pass(Pair& pair, bool fromClient)
{
    char bytes[4096];
    const ssize_t got = ::read(fromClient ? pair.client : pair.server, bytes, sizeof bytes);
    if (got <= 0) {
        ::close(pair.client);
        ::close(pair.server);
        return false;
    }
    if (!fromClient && pair.cutAtAnswer) {
        ::close(pair.client);
        m_drained.push_back(pair.server);
        return false;
    }
    const std::string chunk(bytes, static_cast<std::size_t>(got));
    if (::send(fromClient ? pair.server : pair.client, chunk.data(), chunk.size(), MSG_NOSIGNAL) <
        0) {
        return true;
    }
    if (!fromClient) {
        return true;
    }
    const std::size_t before = m_commands.size();
    NoteCommands(pair, chunk);
    pair.cutAtAnswer =
        pair.cutAtAnswer ||
        (!m_dropAfter.empty() &&
         std::any_of(m_commands.begin() + static_cast<std::ptrdiff_t>(before), m_commands.end(),
                     [&](const std::string& line) { return line.starts_with(m_dropAfter); }));
    return true;
}

void CShellRelay::NoteCommands(Pair& pair, const std::string& bytes)
{
    const std::lock_guard lock(m_mutex);
    for (const char c : bytes) {
        if (c == '\n') {
            m_commands.push_back(std::move(pair.line));
            pair.line.clear();
        } else {
            pair.line += c;
        }
    }
}
