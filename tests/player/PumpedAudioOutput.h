#pragma once

#include "SequencerAudioOutput.h"

#include <atomic>
#include <chrono>
#include <thread>

// An audio output for tests, where no sound device exists: a thread that pulls stereo blocks
// from the render function and drops them, either as fast as it can or at the pace of a real
// device.
class CPumpedAudioOutput : public CSequencerAudioOutput
{
public:
    static constexpr int kBlockFrames = 512;

    CPumpedAudioOutput(fluid_audio_func_t render, void* data, bool realTime);
    ~CPumpedAudioOutput() override;
    CPumpedAudioOutput(const CPumpedAudioOutput&) = delete;
    CPumpedAudioOutput& operator=(const CPumpedAudioOutput&) = delete;

    // An opener for the sequencer service that opens pumped outputs.
    static Opener OpenerFor(bool realTime);
    // Pump threads running now, in every output.
    static int Running() { return s_running; }

private:
    void Pump(fluid_audio_func_t render, void* data, bool realTime);

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    static inline std::atomic<int> s_running{0};
};
