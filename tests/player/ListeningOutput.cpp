#include "ListeningOutput.h"

#include "SequencerSynth.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {
constexpr float kSilence = 0.5f / 32768;
} // namespace

bool WaitFor(const std::function<bool()>& done, int milliseconds)
{
    const auto deadline = BenchClock::now() + std::chrono::milliseconds(milliseconds);
    while (!done() && BenchClock::now() < deadline) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return done();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Listener::Heard()
{
    const long long now = Now();
    long long none = 0;
    first.compare_exchange_strong(none, now);
    last = now;
}

CListeningOutput::CListeningOutput(fluid_audio_func_t render, void* data, Listener& listener)
    : m_thread([this, render, data, &listener] { Pump(render, data, listener); })
{
}

CListeningOutput::~CListeningOutput()
{
    m_stop = true;
    m_thread.join();
}

CSequencerAudioOutput::Opener CListeningOutput::OpenerFor(Listener& listener)
{
    return [&listener](fluid_settings_t*, fluid_audio_func_t render, void* data) {
        return std::make_unique<CListeningOutput>(render, data, listener);
    };
}

void CListeningOutput::Pump(fluid_audio_func_t render, void* data, Listener& listener)
{
    std::vector<float> left(kBlockFrames);
    std::vector<float> right(kBlockFrames);
    float* out[] = {left.data(), right.data()};
    const auto blockTime = std::chrono::microseconds(kBlockFrames * 1000000LL / 44100);
    auto due = BenchClock::now();
    while (!m_stop) {
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
        render(data, kBlockFrames, 0, nullptr, 2, out);
        const auto loud = [](float sample) { return std::fabs(sample) >= kSilence; };
        if (std::any_of(left.begin(), left.end(), loud) ||
            std::any_of(right.begin(), right.end(), loud))
            listener.Heard();
        due += blockTime;
        std::this_thread::sleep_until(due);
    }
}

namespace {

int RenderSynth(void* synth, int frames, int nfx, float* fx[], int nout, float* out[])
{
    return static_cast<const CSequencerSynth*>(synth)->Process(frames, nfx, fx, nout, out);
}

} // namespace

double FloorToSound(const QString& soundFont, int runs,
                    const std::function<void(CSequencerSynth&)>& start,
                    const std::function<void(CSequencerSynth&)>& stop)
{
    CSequencerSynth synth(*CFluidSynthApi::Get());
    QString failed;
    if (synth.LoadSoundFonts({soundFont}, failed))
        return NAN;
    Listener listener;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QThread::msleep(30);
        listener.Reset();
        const long long started = Now();
        start(synth);
        auto output = std::make_unique<CListeningOutput>(&RenderSynth, &synth, listener);
        if (WaitFor([&] { return listener.first != 0; }))
            times.push_back(Since(started, listener.first));
        output.reset();
        stop(synth);
        synth.Api().fluid_synth_all_sounds_off(synth.Synth(), -1);
    }
    return Median(times);
}
