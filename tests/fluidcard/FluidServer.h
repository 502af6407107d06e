// A FluidSynth server of a test's own: started on a free port with no audio output, and
// with no SoundFont or, as Debian's user unit starts it, with a font of its own; stopped
// (and waited for) when the test is done. It also plays a second client of the server,
// sending shell commands over a connection of its own.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

class CFluidServer
{
public:
    // startupFont: the font the server loads as it starts; empty: none. A relative one is
    // taken from workingDirectory, where the server runs (empty: the test's own).
    explicit CFluidServer(std::string startupFont = {}, std::string workingDirectory = {});
    ~CFluidServer();
    CFluidServer(const CFluidServer&) = delete;
    CFluidServer& operator=(const CFluidServer&) = delete;

    // Makes the server started from now on play through the PulseAudio server at
    // pulseServer (a PULSE_SERVER value) instead of having no audio output.
    void PlayOn(std::string pulseServer) { m_pulseServer = std::move(pulseServer); }
    // Starts the server (again, on the same port) and waits until its shell answers.
    bool Start();
    void Stop();

    std::string Address() const;
    int Port() const { return m_port; }

    // The reply lines of one command; empty also when the server does not answer.
    std::vector<std::string> Command(const std::string& line) const;
    // The paths of the server's fonts, from the top of its stack, and their IDs.
    std::vector<std::string> Fonts() const;
    std::vector<int32_t> Ids() const;

    // Stops the server's process (SIGSTOP) or lets it go on (SIGCONT).
    void Pause(bool paused) const;
    // Whether the process is still there; false once it ended, however it did.
    bool IsRunning();

    // A free TCP port on the loopback interface at the time of the call.
    static int FreePort();

private:
    // "fonts" lines after the heading: "%2d  %s" per font.
    std::vector<std::pair<int32_t, std::string>> Stack() const;

    int m_port;
    std::string m_startupFont;
    std::string m_workingDirectory;
    std::string m_pulseServer;
    pid_t m_pid = -1;
};
