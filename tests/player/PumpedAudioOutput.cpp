#include "PumpedAudioOutput.h"

#include <algorithm>
#include <vector>

CPumpedAudioOutput::CPumpedAudioOutput(fluid_audio_func_t render, void* data, bool realTime)
{
    ++s_running;
    m_thread = std::thread(&CPumpedAudioOutput::Pump, this, render, data, realTime);
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

void CPumpedAudioOutput::Pump(fluid_audio_func_t render, void* data, bool realTime)
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
        if (realTime) {
            due += blockTime;
            std::this_thread::sleep_until(due);
        }
    }
    --s_running;
}
