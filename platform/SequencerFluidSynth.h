// The sequencer service on libfluidsynth: one synthesizer, kept with its SoundFonts from one
// play to the next, plays one MIDI file at a time through an audio output whose thread also
// notices the file's end.
#pragma once

#include "SequencerAudioOutput.h"
#include "SequencerService.h"

#include <map>
#include <memory>

class CFluidSynthApi;
class CSequencerSynth;

class CSequencerFluidSynth : public CSequencerService
{
public:
    // soundFont: the General MIDI SoundFont played when no other is asked for; openAudio:
    // where the samples go (the desktop's audio output unless a caller brings its own).
    // FluidSynth itself is loaded only by the first open.
    explicit CSequencerFluidSynth(QString soundFont = DefaultSoundFont(),
                                  CSequencerAudioOutput::Opener openAudio = DefaultAudio());
    // Closes every device still open: no audio thread outlives the service.
    ~CSequencerFluidSynth() override;
    CSequencerFluidSynth(const CSequencerFluidSynth&) = delete;
    CSequencerFluidSynth& operator=(const CSequencerFluidSynth&) = delete;

    // Busy while another device is open: they would share the synthesizer.
    unsigned Open(const QString& path, unsigned& deviceId) override;
    unsigned Play(unsigned deviceId, QObject* window) override;
    unsigned Stop(unsigned deviceId) override;
    unsigned Close(unsigned deviceId) override;
    // The SoundFonts are loaded by the next open, and only when they differ from those
    // loaded (other files, or the same files changed since).
    void UseSoundFonts(const QStringList& highestFirst) override;

    // How many times SoundFonts have been loaded into a new synthesizer.
    int SoundFontLoads() const { return m_nSoundFontLoads; }

    // The SoundFont named by KORVANE_SOUNDFONT, else the system's General MIDI one.
    static QString DefaultSoundFont();
    static CSequencerAudioOutput::Opener DefaultAudio();

private:
    struct Device;
    static int RenderDevice(void* device, int frames, int nfx, float* fx[], int nout, float* out[]);
    Device* Find(unsigned deviceId) const;
    // Makes the synthesizer hold the SoundFonts asked for; 0 or NoSoundFont.
    unsigned PrepareSynth(const CFluidSynthApi& api);
    QStringList SoundFonts() const;
    // What tells a SoundFont file apart from the same file changed: path, size and time.
    static QStringList Identities(const QStringList& paths);

    QString m_strSoundFont;
    CSequencerAudioOutput::Opener m_openAudio;
    QStringList m_requestedFonts;
    // The synthesizer and what its SoundFonts were when it loaded them.
    std::unique_ptr<CSequencerSynth> m_synth;
    QStringList m_loadedFonts;
    int m_nSoundFontLoads = 0;
    std::map<unsigned, std::unique_ptr<Device>> m_devices;
    unsigned m_nNextId = 1;
};
