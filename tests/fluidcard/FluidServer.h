// A FluidSynth server of a test's own: started on a free port with no audio output and
// no SoundFont, stopped (and waited for) when the test is done. It also plays a second
// client of the server, sending shell commands over a connection of its own.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class CFluidServer
{
public:
    CFluidServer();
    ~CFluidServer();
    CFluidServer(const CFluidServer&) = delete;
    CFluidServer& operator=(const CFluidServer&) = delete;

    // Starts the server (again, on the same port) and waits until its shell answers.
    bool Start();
    void Stop();

    std::string Address() const;
    int Port() const { return m_port; }

    // The reply lines of one command; empty also when the server does not answer.
    std::vector<std::string> Command(const std::string& line) const;
    // The paths of the server's fonts, from the top of its stack.
    std::vector<std::string> Fonts() const;

    // A free TCP port on the loopback interface at the time of the call.
    static int FreePort();

private:
    int m_port;
    pid_t m_pid = -1;
};
