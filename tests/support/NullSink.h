// A PulseAudio sound server of a test's own whose only output is a null sink, so that a
// test hears what a program plays without a sound card: programs started with Server() in
// PULSE_SERVER play into it, and a recording of its monitor tells how loud they were.
#pragma once

#include <string>
#include <sys/types.h>

class CNullSink
{
public:
    // Starts the server in a directory of its own; Started() tells whether it answers.
    CNullSink();
    // Stops the recording and the server, and removes the directory.
    ~CNullSink();
    CNullSink(const CNullSink&) = delete;
    CNullSink& operator=(const CNullSink&) = delete;

    bool Started() const { return m_server > 0; }
    // The value of PULSE_SERVER that reaches this server.
    std::string Server() const { return "unix:" + m_dir + "/socket"; }

    // Records the sink's monitor from now on, mono 16-bit.
    bool StartRecording();
    // Ends the recording; the loudest sample it holds (0 to 32767), -1 when nothing was
    // recorded.
    int StopRecording();

private:
    pid_t Spawn(const char* const argv[], const std::string& output) const;

    std::string m_dir;
    pid_t m_server = -1;
    pid_t m_recorder = -1;
};
