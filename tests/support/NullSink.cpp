#include "NullSink.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr auto kStartTimeout = 10s;
constexpr auto kPollInterval = 20ms;

void EndProcess(pid_t& pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    pid = -1;
}

} // namespace

CNullSink::CNullSink()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "korvane-sink-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return;
    m_dir = pattern;
    const std::string socket =
        "module-native-protocol-unix auth-anonymous=1 socket=" + m_dir + "/socket";
    const char* const argv[] = {"pulseaudio",
                                "-n",
                                "--daemonize=no",
                                "--exit-idle-time=-1",
                                "--use-pid-file=no",
                                "--log-target=stderr",
                                "-L",
                                "module-null-sink sink_name=korvane_null",
                                "-L",
                                socket.c_str(),
                                nullptr};
    m_server = Spawn(argv, m_dir + "/server.log");
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (m_server > 0 && !std::filesystem::exists(m_dir + "/socket")) {
        int status = 0;
        if (std::chrono::steady_clock::now() > deadline ||
            ::waitpid(m_server, &status, WNOHANG) == m_server) {
            EndProcess(m_server);
            return;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

CNullSink::~CNullSink()
{
    EndProcess(m_recorder);
    EndProcess(m_server);
    if (!m_dir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
}

// The child runs with the server's directory as its home and runtime directory, so that
// it neither reads nor leaves anything of the user's, and with PULSE_SERVER set to it.
pid_t CNullSink::Spawn(const char* const argv[], const std::string& output) const
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    ::setenv("HOME", m_dir.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
    ::setenv("PULSE_SERVER", Server().c_str(), 1);
    const int file = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, STDIN_FILENO);
    ::dup2(file, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    ::execvp(argv[0], const_cast<char* const*>(argv));
    ::_exit(127);
}

bool CNullSink::StartRecording()
{
    EndProcess(m_recorder);
    const char* const argv[] = {"parec",          "-d",           "korvane_null.monitor",
                                "--format=s16le", "--channels=1", "--rate=22050",
                                "--raw",          nullptr};
    m_recorder = Started() ? Spawn(argv, m_dir + "/recording.raw") : -1;
    // The stream is connected before anything plays that it should hear.
    std::this_thread::sleep_for(300ms);
    return m_recorder > 0;
}

int CNullSink::StopRecording()
{
    if (m_recorder <= 0)
        return -1;
    EndProcess(m_recorder);
    std::ifstream file(m_dir + "/recording.raw", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    if (bytes.size() < 2)
        return -1;
    int loudest = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto sample = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) |
                                                 static_cast<uint8_t>(bytes[i + 1]) << 8);
        loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    }
    return loudest;
}
