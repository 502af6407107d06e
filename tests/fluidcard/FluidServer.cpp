#include "FluidServer.h"

#include "FluidShell.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(15);
constexpr auto kStopTimeout = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(50);

} // namespace

CFluidServer::CFluidServer(std::string startupFont, std::string workingDirectory)
    : m_port(FreePort()), m_startupFont(std::move(startupFont)),
      m_workingDirectory(std::move(workingDirectory))
{
}

CFluidServer::~CFluidServer()
{
    Stop();
}

int CFluidServer::FreePort()
{
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(socket);
    return port;
}

bool CFluidServer::Start()
{
    Stop();
    const std::string port = "shell.port=" + std::to_string(m_port);
    m_pid = ::fork();
    if (m_pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        if (!m_workingDirectory.empty() && ::chdir(m_workingDirectory.c_str()) != 0) {
            ::_exit(127);
        }
        // Debian's unit: "fluidsynth -is ... $SOUND_FONT".
        const char* font = m_startupFont.empty() ? nullptr : m_startupFont.c_str();
        if (!m_pulseServer.empty()) {
            ::setenv("PULSE_SERVER", m_pulseServer.c_str(), 1);
            ::execlp("fluidsynth", "fluidsynth", "-is", "-a", "pulseaudio", "-o", port.c_str(),
                     "-o", "synth.default-soundfont=", font, static_cast<char*>(nullptr));
        }
        ::execlp("fluidsynth", "fluidsynth", "-is", "-a", "file", "-o", "audio.file.name=/dev/null",
                 "-o", port.c_str(), "-o", "synth.default-soundfont=", font,
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (m_pid < 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!Command("fonts").empty()) {
            return true;
        }
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return false;
}

void CFluidServer::Stop()
{
    if (m_pid <= 0) {
        return;
    }
    ::kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    int status = 0;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    m_pid = -1;
}

std::string CFluidServer::Address() const
{
    return "127.0.0.1:" + std::to_string(m_port);
}

std::vector<std::string> CFluidServer::Command(const std::string& line) const
{
    CFluidShell shell({"127.0.0.1", std::to_string(m_port)}, std::chrono::seconds(10));
    std::vector<std::string> reply;
    shell.Exchange(line, reply);
    return reply;
}

std::vector<std::pair<int32_t, std::string>> CFluidServer::Stack() const
{
    std::vector<std::pair<int32_t, std::string>> stack;
    const std::vector<std::string> reply = Command("fonts");
    for (std::size_t i = 1; i < reply.size(); ++i) {
        const std::size_t separator = reply[i].find("  ", reply[i].find_first_not_of(' '));
        if (separator != std::string::npos) {
            stack.emplace_back(std::stoi(reply[i].substr(0, separator)),
                               reply[i].substr(separator + 2));
        }
    }
    return stack;
}

std::vector<std::string> CFluidServer::Fonts() const
{
    std::vector<std::string> paths;
    for (const auto& font : Stack()) {
        paths.push_back(font.second);
    }
    return paths;
}

std::vector<int32_t> CFluidServer::Ids() const
{
    std::vector<int32_t> ids;
    for (const auto& font : Stack()) {
        ids.push_back(font.first);
    }
    return ids;
}

void CFluidServer::Pause(bool paused) const
{
    if (m_pid > 0) {
        ::kill(m_pid, paused ? SIGSTOP : SIGCONT);
    }
}

bool CFluidServer::IsRunning()
{
    int status = 0;
    if (m_pid > 0 && ::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
    }
    return m_pid > 0;
}
