// A FluidSynth synthesizer with its SoundFonts loaded. The sequencer keeps it from one play
// to the next, so that a play does not load the SoundFonts again.
#pragma once

#include "FluidSynthApi.h"

#include <QHash>
#include <QStringList>

class CSequencerSynth
{
public:
    explicit CSequencerSynth(const CFluidSynthApi& api);
    ~CSequencerSynth();
    CSequencerSynth(const CSequencerSynth&) = delete;
    CSequencerSynth& operator=(const CSequencerSynth&) = delete;

    // Loads the SoundFonts, the highest priority first in the list; the synthesizer looks a
    // program up in the highest that defines it. Returns 0, or SequencerError::NoSoundFont
    // when the list is empty or one of them cannot be loaded, which is then in failed.
    // May run on any thread, while no other call is made on the synthesizer.
    unsigned LoadSoundFonts(const QStringList& highestFirst, QString& failed);
    // The synthesizer's ID of a SoundFont it loaded from path; -1 when it loaded none from
    // there.
    int FontId(const QString& path) const { return m_fontIds.value(path, -1); }

    // Renders frames samples into buffers that arrive zeroed; without effect buffers the
    // effects are mixed into out. FLUID_OK or FLUID_FAILED.
    int Process(int frames, int nfx, float* fx[], int nout, float* out[]) const;

    const CFluidSynthApi& Api() const { return m_api; }
    // The settings the synthesizer runs on: sample rate and channels for the audio output.
    fluid_settings_t* Settings() const { return m_settings; }
    fluid_synth_t* Synth() const { return m_synth; }
    int SampleRate() const { return m_nSampleRate; }

private:
    const CFluidSynthApi& m_api;
    fluid_settings_t* m_settings;
    fluid_synth_t* m_synth;
    int m_nSampleRate = 0;
    QHash<QString, int> m_fontIds;
};
