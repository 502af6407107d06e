#include "PumpedAudioOutput.h"

#include <algorithm>
#include <vector>

CPumpedAudioOutput::CPumpedAudioOutput(fluid_audio_func_t render, void* data, bool realTime,
                                       std::vector<float>* recording)
{
    ++s_running;
    m_thread = std::thread(&CPumpedAudioOutput::Pump, this, render, data, realTime, recording);
}

CPumpedAudioOutput::~CPumpedAudioOutput()
{
    m_stop = true;
    m_thread.join();
}

CSequencerAudioOutput::Opener CPumpedAudioOutput::OpenerFor(bool realTime)
{
    return [realTime](fluid_settings_t*, fluid_audio_func_t render, void* data) {
        return std::make_unique<CPumpedAudioOutput>(render, data, realTime);
    };
}

CSequencerAudioOutput::Opener CPumpedAudioOutput::RecorderFor(std::vector<float>& recording)
{
    return [&recording](fluid_settings_t*, fluid_audio_func_t render, void* data) {
        return std::make_unique<CPumpedAudioOutput>(render, data, false, &recording);
    };
}

void CPumpedAudioOutput::Pump(fluid_audio_func_t render, void* data, bool realTime,
                              std::vector<float>* recording)
{
    std::vector<float> left(kBlockFrames);
    std::vector<float> right(kBlockFrames);
    float* out[] = {left.data(), right.data()};
    const auto blockTime = std::chrono::microseconds(kBlockFrames * 1000000LL / 44100);
    auto due = std::chrono::steady_clock::now();
    while (!m_stop) {
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
        render(data, kBlockFrames, 0, nullptr, 2, out);
        if (recording && std::any_of(left.begin(), left.end(), [](float s) { return s != 0; }))
            recording->insert(recording->end(), left.begin(), left.end());
        if (realTime) {
            due += blockTime;
            std::this_thread::sleep_until(due);
        }
    }
    --s_running;
}
