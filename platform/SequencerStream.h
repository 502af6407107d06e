// One MIDI file on the sequencer's synthesizer: renders the file's audio block by block and
// tells when the file is over.
#pragma once

#include "SequencerSynth.h"

#include <QByteArray>
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

    // The longest a release tail may sound after the file's last event before every channel
    // is silenced: notes never switched off, or held by a pedal, still end.
    static constexpr double kMaxTailSeconds = 2.0;

    // Reads the file at path whole, so later changes to it do not matter, and checks that it
    // is a standard MIDI file whose tracks read to their end. Returns 0, FileNotFound,
    // InvalidFile or DamagedFile (SequencerError).
    static unsigned ReadFile(const QString& path, QByteArray& midi);

    // synth must outlive the stream, and only one stream may play on it at a time.
    explicit CSequencerStream(CSequencerSynth& synth);
    ~CSequencerStream();
    CSequencerStream(const CSequencerStream&) = delete;
    CSequencerStream& operator=(const CSequencerStream&) = delete;

    // Takes the file read by ReadFile. Returns 0 or SequencerError::InvalidFile.
    unsigned Load(const QByteArray& midi);

    int SampleRate() const { return m_synth.SampleRate(); }

    // Starts the file from its beginning; Render then plays it. The synthesizer is in its
    // initial state: the stream before reset it as it went.
    void Start();
    // Renders frames samples into buffers that arrive zeroed (FluidSynth's audio callback
    // signature; without effect buffers the effects are mixed into out), then says whether
    // the file is over: past its last tick with no voice sounding any more, or faded out.
    Progress Render(int frames, int nfx, float* fx[], int nout, float* out[]);

private:
    Progress Check();
    // Counts the frames at the end of what has been rendered that are silent, or faded out
    // far below the loudest so far.
    void Listen(int frames, int nout, float* out[]);

    CSequencerSynth& m_synth;
    const CFluidSynthApi& m_api;
    fluid_player_t* m_player;
    long m_nFrames = 0;
    int m_nSilentFrames = 0;
    float m_fPeak = 0;
    // The frame at which the file's last event was reached; -1 before.
    long m_nLastEventFrame = -1;
};
