// The sequencer service on libfluidsynth: each open device is a MIDI file on a synthesizer
// of its own, played through an audio output whose thread also notices the file's end.
#pragma once

#include "SequencerAudioOutput.h"
#include "SequencerService.h"

#include <map>
#include <memory>

class CSequencerFluidSynth : public CSequencerService
{
public:
    // soundFont: the General MIDI SoundFont every device loads; openAudio: where the samples
    // go (the desktop's audio output unless a caller brings its own).
    explicit CSequencerFluidSynth(QString soundFont = DefaultSoundFont(),
                                  CSequencerAudioOutput::Opener openAudio = DefaultAudio());
    // Closes every device still open: no audio thread outlives the service.
    ~CSequencerFluidSynth() override;
    CSequencerFluidSynth(const CSequencerFluidSynth&) = delete;
    CSequencerFluidSynth& operator=(const CSequencerFluidSynth&) = delete;

    unsigned Open(const QString& path, unsigned& deviceId) override;
    unsigned Play(unsigned deviceId, QObject* window) override;
    unsigned Stop(unsigned deviceId) override;
    unsigned Close(unsigned deviceId) override;

    // The SoundFont named by KORVANE_SOUNDFONT, else the system's General MIDI one.
    static QString DefaultSoundFont();
    static CSequencerAudioOutput::Opener DefaultAudio();

private:
    struct Device;
    static int RenderDevice(void* device, int frames, int nfx, float* fx[], int nout, float* out[]);
    Device* Find(unsigned deviceId) const;

    QString m_strSoundFont;
    CSequencerAudioOutput::Opener m_openAudio;
    std::map<unsigned, std::unique_ptr<Device>> m_devices;
    unsigned m_nNextId = 1;
};
