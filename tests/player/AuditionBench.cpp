// The audition on the simulated card, measured on an audio output paced like a sound
// device that listens to what it is given: from the request to the first non-silent
// sample, against FluidSynth alone with the same SoundFont already loaded (the floor: the
// preset selected, a note on and an output opened), for each SoundFont given.
// Usage: audition_bench [SoundFont ...] (default: the system's General MIDI SoundFont).
// A benchmark, not a test: ctest does not run it.
#include "Audition.h"
#include "BankTable.h"
#include "FluidSynthApi.h"
#include "FontCard.h"
#include "ListeningOutput.h"
#include "SequencerFluidSynth.h"
#include "SequencerSynth.h"
#include "SynthAudition.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kRuns = 15;
constexpr int kChannel = 15;
constexpr int kKey = 60;

// FluidSynth alone, with the SoundFont loaded before the clock starts: the preset selected,
// a note on, and an output opened.
double FloorNoteToSound(const QString& soundFont)
{
    return FloorToSound(
        soundFont, kRuns,
        [&](CSequencerSynth& synth) {
            const CFluidSynthApi& api = synth.Api();
            api.fluid_synth_program_select(synth.Synth(), kChannel, synth.FontId(soundFont), 0, 0);
            api.fluid_synth_noteon(synth.Synth(), kChannel, kKey, 100);
        },
        [](CSequencerSynth&) {});
}

// The audition's request, the SoundFont loaded by the first one; each run is stopped once
// heard, and the next waits for its end.
double AuditionToSound(const QString& soundFont, double& firstRun)
{
    CFontCard card;
    card.Add(soundFont, 0);
    CBankTable table(card);
    table.RefreshStatus();
    Listener listener;
    CAudition audition(table,
                       std::make_unique<CSynthAudition>(CListeningOutput::OpenerFor(listener)));
    int finished = 0;
    QObject::connect(&audition, &CAudition::Finished, &audition, [&finished] { ++finished; });
    std::vector<double> times;
    for (int run = 0; run <= kRuns; ++run) {
        QThread::msleep(30);
        listener.Reset();
        const long long start = Now();
        audition.Play({0, 0, 0, false, kChannel + 1});
        if (WaitFor([&] { return listener.first != 0; })) {
            const double time = Since(start, listener.first);
            if (run == 0)
                firstRun = time;
            else
                times.push_back(time);
        }
        audition.Stop();
        if (!WaitFor([&] { return finished == run + 1; }))
            return NAN;
    }
    return Median(times);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList fonts = app.arguments().mid(1);
    if (fonts.isEmpty())
        fonts << CSequencerFluidSynth::DefaultSoundFont();
    QString error;
    if (!CFluidSynthApi::Get(&error)) {
        std::fprintf(stderr, "FluidSynth cannot be loaded: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("Audition request to the first non-silent sample (median of %d; output blocks "
                "of %.1f ms)\n",
                kRuns, CListeningOutput::kBlockFrames * 1000.0 / 44100);
    for (const QString& font : fonts) {
        const double floor = FloorNoteToSound(font);
        double firstRun = NAN;
        const double audition = AuditionToSound(font, firstRun);
        std::printf("  %-40s %6.1f MB  floor %6.2f ms  audition %6.2f ms (%.2f x floor)  "
                    "first audition, SoundFont loading included: %8.1f ms\n",
                    qPrintable(QFileInfo(font).fileName()), double(QFileInfo(font).size()) / 1e6,
                    floor, audition, audition / floor, firstRun);
    }
    return 0;
}
