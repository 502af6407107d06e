// Figures for the MIDI player, measured on an audio output paced like a sound device that
// listens to what it is given:
//  - Play to the first non-silent sample, against FluidSynth alone with the same SoundFont
//    already loaded (the floor), for each SoundFont given;
//  - the end notification after the last non-silent sample, for a file whose note ends
//    and for one whose note is never switched off.
// Usage: player_bench [SoundFont ...] (default: the system's General MIDI SoundFont, and
// Debian's fluid-soundfont-gm when installed). A benchmark, not a test: ctest does not run it.
#include "FluidSynthApi.h"
#include "ListeningOutput.h"
#include "MidiFileMaker.h"
#include "MidiPlayer.h"
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

constexpr int kRuns = 15;

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

// FluidSynth alone, with the SoundFont loaded before the clock starts: the file, already in
// memory, is handed to a new player, which starts, and an output opens, as the player's
// sequencer opens one for each file.
double FloorPlayToSound(const QString& soundFont, const QByteArray& midi)
{
    fluid_player_t* player = nullptr;
    return FloorToSound(
        soundFont, kRuns,
        [&](CSequencerSynth& synth) {
            const CFluidSynthApi& api = synth.Api();
            player = api.new_fluid_player(synth.Synth());
            api.fluid_player_add_mem(player, midi.constData(), static_cast<size_t>(midi.size()));
            api.fluid_player_play(player);
        },
        [&](CSequencerSynth& synth) { synth.Api().delete_fluid_player(player); });
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
                kRuns, CListeningOutput::kBlockFrames * 1000.0 / 44100);
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
