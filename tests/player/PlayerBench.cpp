// Figures for the MIDI player, measured on an audio output paced like a sound device that
// listens to what it is given:
//  - Play to the first non-silent sample, against FluidSynth alone with the same SoundFont
//    already loaded (the floor), for each SoundFont given;
//  - the end notification after the last non-silent sample, for a file whose note ends
//    and for one whose note is never switched off.
// Usage: player_bench [SoundFont ...] (default: the system's General MIDI SoundFont, and
// Debian's fluid-soundfont-gm when installed). A benchmark, not a test: ctest does not run it.
#include "FluidSynthApi.h"
#include "MidiFileMaker.h"
#include "MidiPlayer.h"
#include "SequencerAudioOutput.h"
#include "SequencerFluidSynth.h"
#include "SequencerNotifyEvent.h"
#include "SequencerSynth.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBlockFrames = 256;
constexpr int kRuns = 15;
constexpr float kSilence = 0.5f / 32768;

// When the output last heard sound, and first since Reset.
struct Listener
{
    void Reset()
    {
        first = 0;
        last = 0;
    }
    void Heard()
    {
        const long long now = Clock::now().time_since_epoch().count();
        long long none = 0;
        first.compare_exchange_strong(none, now);
        last = now;
    }
    std::atomic<long long> first{0};
    std::atomic<long long> last{0};
};

double Since(long long start, long long end)
{
    return std::chrono::duration<double, std::milli>(Clock::duration(end - start)).count();
}

long long Now()
{
    return Clock::now().time_since_epoch().count();
}

// Pulls stereo blocks at the pace of a 44.1 kHz device and tells the listener of sound.
class CListeningOutput : public CSequencerAudioOutput
{
public:
    CListeningOutput(fluid_audio_func_t render, void* data, Listener& listener)
        : m_thread([this, render, data, &listener] { Pump(render, data, listener); })
    {
    }
    ~CListeningOutput() override
    {
        m_stop = true;
        m_thread.join();
    }
    CListeningOutput(const CListeningOutput&) = delete;
    CListeningOutput& operator=(const CListeningOutput&) = delete;

    static Opener OpenerFor(Listener& listener)
    {
        return [&listener](fluid_settings_t*, fluid_audio_func_t render, void* data) {
            return std::make_unique<CListeningOutput>(render, data, listener);
        };
    }

private:
    void Pump(fluid_audio_func_t render, void* data, Listener& listener)
    {
        std::vector<float> left(kBlockFrames);
        std::vector<float> right(kBlockFrames);
        float* out[] = {left.data(), right.data()};
        const auto blockTime = std::chrono::microseconds(kBlockFrames * 1000000LL / 44100);
        auto due = Clock::now();
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

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Receives the end notifications.
class CWindow : public QObject
{
public:
    std::atomic<long long> notified{0};

protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() == CSequencerNotifyEvent::EventType())
            notified = Now();
    }
};

bool WaitFor(const std::function<bool()>& done, int milliseconds = 10000)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done() && Clock::now() < deadline) {
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

int RenderSynth(void* synth, int frames, int, float*[], int nout, float* out[])
{
    const CFluidSynthApi& api = *CFluidSynthApi::Get();
    return api.fluid_synth_process(static_cast<fluid_synth_t*>(synth), frames, 0, nullptr, nout,
                                   out);
}

// FluidSynth alone, with the SoundFont loaded before the clock starts: the file, already in
// memory, is handed to a new player, which starts, and an output opens, as the player's
// sequencer opens one for each file.
double FloorPlayToSound(const QString& soundFont, const QByteArray& midi)
{
    const CFluidSynthApi& api = *CFluidSynthApi::Get();
    CSequencerSynth synth(api);
    QString failed;
    if (synth.LoadSoundFonts({soundFont}, failed))
        return NAN;
    Listener listener;
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QThread::msleep(30);
        listener.Reset();
        const long long start = Now();
        fluid_player_t* player = api.new_fluid_player(synth.Synth());
        api.fluid_player_add_mem(player, midi.constData(), static_cast<size_t>(midi.size()));
        api.fluid_player_play(player);
        auto output = std::make_unique<CListeningOutput>(&RenderSynth, synth.Synth(), listener);
        if (WaitFor([&] { return listener.first != 0; }))
            times.push_back(Since(start, listener.first));
        output.reset();
        api.delete_fluid_player(player);
        api.fluid_synth_all_sounds_off(synth.Synth(), -1);
    }
    return Median(times);
}

struct PlayFigures
{
    double firstPlay = NAN;
    double laterPlays = NAN;
};

// The player: Play pressed, the sequencer keeping its synthesizer between plays.
PlayFigures PlayerPlayToSound(const QString& soundFont, const QString& path)
{
    Listener listener;
    CSequencerFluidSynth sequencer(soundFont, CListeningOutput::OpenerFor(listener));
    CMidiPlayer player(&sequencer);
    CWindow window;
    PlayFigures figures;
    std::vector<double> times;
    for (int run = 0; run <= kRuns; ++run) {
        QThread::msleep(30);
        listener.Reset();
        const long long start = Now();
        if (player.PlayMidiFile(&window, path) != SequencerError::None)
            return figures;
        if (WaitFor([&] { return listener.first != 0; })) {
            const double time = Since(start, listener.first);
            if (run == 0)
                figures.firstPlay = time;
            else
                times.push_back(time);
        }
        player.Stop();
    }
    figures.laterPlays = Median(times);
    return figures;
}

// From the last non-silent sample to the end notification.
double EndNotificationDelay(const QString& soundFont, const QString& path, double& playedFor)
{
    Listener listener;
    CSequencerFluidSynth sequencer(soundFont, CListeningOutput::OpenerFor(listener));
    CMidiPlayer player(&sequencer);
    CWindow window;
    std::vector<double> delays;
    std::vector<double> lengths;
    for (int run = 0; run < 5; ++run) {
        listener.Reset();
        window.notified = 0;
        const long long start = Now();
        if (player.PlayMidiFile(&window, path) != SequencerError::None ||
            !WaitFor([&] { return window.notified != 0; }))
            return NAN;
        player.OnNotify(&window, SequencerNotify::Ended, player.DeviceId());
        delays.push_back(Since(listener.last, window.notified));
        lengths.push_back(Since(start, window.notified));
    }
    playedFor = Median(lengths);
    return Median(delays);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList fonts = app.arguments().mid(1);
    if (fonts.isEmpty()) {
        fonts << CSequencerFluidSynth::DefaultSoundFont();
        if (QFileInfo::exists(QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2")))
            fonts << QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2");
    }
    QString error;
    if (!CFluidSynthApi::Get(&error)) {
        std::fprintf(stderr, "FluidSynth cannot be loaded: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir dir;
    CMidiFileMaker tune;
    tune.Note(0, 480, 60);
    const QString tunePath = dir.filePath(QStringLiteral("tune.mid"));
    CMidiFileMaker held;
    held.Program(0, 19);
    held.NoteOn(0, 60);
    held.Note(0, 480, 67);
    const QString heldPath = dir.filePath(QStringLiteral("held.mid"));
    if (!tune.Write(tunePath) || !held.Write(heldPath))
        return 1;

    std::printf("Play to the first non-silent sample (median of %d; output blocks of %.1f ms)\n",
                kRuns, kBlockFrames * 1000.0 / 44100);
    for (const QString& font : fonts) {
        const double floor = FloorPlayToSound(font, tune.Bytes());
        const PlayFigures player = PlayerPlayToSound(font, tunePath);
        std::printf("  %-40s %6.1f MB  floor %6.2f ms  player %6.2f ms (%.2f x floor)  "
                    "first play, SoundFont loading included: %8.1f ms\n",
                    qPrintable(QFileInfo(font).fileName()), double(QFileInfo(font).size()) / 1e6,
                    floor, player.laterPlays, player.laterPlays / floor, player.firstPlay);
    }
    std::printf("End notification after the last non-silent sample (median of 5)\n");
    for (const auto& [name, path] : {std::pair{"note switched off after 0.5 s", tunePath},
                                     std::pair{"note never switched off (0.5 s file)", heldPath}}) {
        double playedFor = 0;
        const double delay = EndNotificationDelay(fonts.first(), path, playedFor);
        std::printf("  %-40s %6.1f ms (notified %.2f s after Play)\n", name, delay,
                    playedFor / 1000);
    }
    return 0;
}
