// Auditions on the player's synthesizer: FluidSynth in this program with the card's
// SoundFonts at their priorities (and, once a bank file's program has been auditioned, the
// General MIDI SoundFont below them), kept loaded from one audition to the next until the
// card's SoundFonts or their files change, and an audio output opened with each
// audition's first note.
#pragma once

#include "AuditionOutput.h"
#include "FileIdentity.h"
#include "SequencerAudioOutput.h"

#include <atomic>
#include <memory>

class CSequencerSynth;

class CSynthAudition : public CAuditionOutput
{
public:
    explicit CSynthAudition(CSequencerAudioOutput::Opener openAudio);
    ~CSynthAudition() override;
    CSynthAudition(const CSynthAudition&) = delete;
    CSynthAudition& operator=(const CSynthAudition&) = delete;

    QString Begin(const AuditionPlan& plan) override;
    bool Note(int key, int velocity) override;
    bool Sounding() const override;
    bool End() override;
    // No audio output could be opened for the first note.
    QString Problem() const override;

private:
    static int Render(void* data, int frames, int nfx, float* fx[], int nout, float* out[]);
    // Loads fonts into a new synthesizer unless the one loaded holds them, in that order.
    QString PrepareSynth(const QStringList& fonts);

    CSequencerAudioOutput::Opener m_openAudio;
    std::unique_ptr<CSequencerSynth> m_synth;
    // The files the synthesizer loaded, and what they were then.
    QStringList m_loadedPaths;
    FileIdentities m_loadedFonts;
    std::unique_ptr<CSequencerAudioOutput> m_output;
    bool m_bNoOutput = false;
    int m_nChannel = 0;
};
