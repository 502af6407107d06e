// One MIDI file on a FluidSynth synthesizer with a General MIDI SoundFont: renders the
// file's audio block by block and tells when the file is over.
#pragma once

#include <fluidsynth.h>

#include <QString>

class CSequencerStream
{
public:
    enum class Progress
    {
        Playing,
        Ended,
        Failed
    };

    CSequencerStream();
    ~CSequencerStream();
    CSequencerStream(const CSequencerStream&) = delete;
    CSequencerStream& operator=(const CSequencerStream&) = delete;

    // Checks the MIDI file at path and loads it and the SoundFont. Returns 0 or a
    // SequencerError code. The file is read whole now, so later changes to it do not matter.
    unsigned Load(const QString& path, const QString& soundFont);

    // The settings the synthesizer runs on: sample rate and channels for the audio output.
    fluid_settings_t* Settings() const { return m_settings; }
    int SampleRate() const { return m_nSampleRate; }

    // Starts the file from its beginning; Render then plays it.
    void Start();
    // Renders frames samples into buffers that arrive zeroed (FluidSynth's audio callback
    // signature; without effect buffers the effects are mixed into out), then says whether
    // the file is over: past its last tick with no voice sounding any more.
    Progress Render(int frames, int nfx, float* fx[], int nout, float* out[]);

private:
    Progress Check() const;
    // Counts the frames of silence at the end of what has been rendered.
    void Listen(int frames, int nout, float* out[]);

    fluid_settings_t* m_settings;
    fluid_synth_t* m_synth;
    fluid_player_t* m_player;
    int m_nSampleRate = 0;
    int m_nSilentFrames = 0;
};
