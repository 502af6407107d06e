// For the benchmarks: an audio output paced like a 44.1 kHz sound device that listens to
// what it is given and tells when it first and last heard sound, and their clock.
#pragma once

#include "SequencerAudioOutput.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

class CSequencerSynth;

using BenchClock = std::chrono::steady_clock;

inline long long Now()
{
    return BenchClock::now().time_since_epoch().count();
}

// Milliseconds from start to end, both from Now().
inline double Since(long long start, long long end)
{
    return std::chrono::duration<double, std::milli>(BenchClock::duration(end - start)).count();
}

// Delivers posted events until done() holds or the time is over; whether it holds.
bool WaitFor(const std::function<bool()>& done, int milliseconds = 10000);
double Median(std::vector<double> values);

// When the output last heard sound, and first since Reset.
struct Listener
{
    void Reset()
    {
        first = 0;
        last = 0;
    }
    void Heard();
    std::atomic<long long> first{0};
    std::atomic<long long> last{0};
};

class CListeningOutput : public CSequencerAudioOutput
{
public:
    static constexpr int kBlockFrames = 256;

    CListeningOutput(fluid_audio_func_t render, void* data, Listener& listener);
    ~CListeningOutput() override;
    CListeningOutput(const CListeningOutput&) = delete;
    CListeningOutput& operator=(const CListeningOutput&) = delete;

    static Opener OpenerFor(Listener& listener);

private:
    void Pump(fluid_audio_func_t render, void* data, Listener& listener);

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// FluidSynth alone with soundFont loaded before the clock starts, over runs: the median
// time from start(synth), which sets a sound going, and an output opening to the first
// sound. After each run the output closes, stop(synth) ends what start began and the
// synthesizer is silenced. NAN when the SoundFont cannot be loaded.
double FloorToSound(const QString& soundFont, int runs,
                    const std::function<void(CSequencerSynth&)>& start,
                    const std::function<void(CSequencerSynth&)>& stop);
