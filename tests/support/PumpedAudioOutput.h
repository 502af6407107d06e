#pragma once

#include "SequencerAudioOutput.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

// An audio output for tests, where no sound device exists: a thread that pulls stereo blocks
// from the render function and drops them, either as fast as it can or at the pace of a real
// device, or records them.
class CPumpedAudioOutput : public CSequencerAudioOutput
{
public:
    static constexpr int kBlockFrames = 512;

    // recording, when given, gets the left channel of every block that is not all silence;
    // it may be read once the output is gone.
    CPumpedAudioOutput(fluid_audio_func_t render, void* data, bool realTime,
                       std::vector<float>* recording = nullptr);
    ~CPumpedAudioOutput() override;
    CPumpedAudioOutput(const CPumpedAudioOutput&) = delete;
    CPumpedAudioOutput& operator=(const CPumpedAudioOutput&) = delete;

    // An opener for the sequencer service that opens pumped outputs.
    static Opener OpenerFor(bool realTime);
    // An opener of outputs that pull as fast as they can and add to recording.
    static Opener RecorderFor(std::vector<float>& recording);
    // Pump threads running now, in every output.
    static int Running() { return s_running; }

private:
    void Pump(fluid_audio_func_t render, void* data, bool realTime, std::vector<float>* recording);

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    static inline std::atomic<int> s_running{0};
};
