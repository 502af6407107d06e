#include "SequencerStream.h"

#include "MidiFileCheck.h"
#include "NativePath.h"
#include "SequencerService.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace {
// Far beyond any real MIDI file; larger files are not read into memory.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;
// A sample that rounds to zero in 16-bit audio is silence.
constexpr float kSilence = 0.5f / 32768;
// Past its last event a file has ended once it sounds 60 dB below the loudest it has been:
// what is left then is the inaudible end of long release envelopes and of the reverb, which
// would go on for seconds above silence.
constexpr float kFadedOut = 0.001f;
// Every MIDI channel at once, in FluidSynth's channel functions.
constexpr int kAllChannels = -1;
} // namespace

unsigned CSequencerStream::ReadFile(const QString& path, QByteArray& midi)
{
    // Only a regular file: a device or a pipe might never end. One open and one status
    // read, since every Play pays for them before the first sound.
    QFile file;
    if (!CNativePath::OpenRegular(path, file))
        return SequencerError::FileNotFound;
    if (file.size() > kMaxFileSize)
        return SequencerError::InvalidFile;
    midi = file.readAll();
    return CMidiFileCheck::Check(midi);
}

CSequencerStream::CSequencerStream(CSequencerSynth& synth)
    : m_synth(synth), m_api(synth.Api()), m_player(m_api.new_fluid_player(synth.Synth()))
{
}

CSequencerStream::~CSequencerStream()
{
    m_api.delete_fluid_player(m_player);
    // The next file starts on a silent synthesizer in its initial state: programs,
    // controllers and pedals left by this file do not carry over. Done here, it costs the
    // next Play nothing.
    m_api.fluid_synth_system_reset(m_synth.Synth());
}

unsigned CSequencerStream::Load(const QByteArray& midi)
{
    return m_api.fluid_player_add_mem(m_player, midi.constData(),
                                      static_cast<size_t>(midi.size())) == FLUID_OK
               ? SequencerError::None
               : SequencerError::InvalidFile;
}

void CSequencerStream::Start()
{
    m_api.fluid_player_play(m_player);
}

CSequencerStream::Progress CSequencerStream::Render(int frames, int nfx, float* fx[], int nout,
                                                    float* out[])
{
    if (m_synth.Process(frames, nfx, fx, nout, out) != FLUID_OK)
        return Progress::Failed;
    m_nFrames += frames;
    Listen(frames, nout, out);
    return Check();
}

void CSequencerStream::Listen(int frames, int nout, float* out[])
{
    float loudest = 0;
    for (int channel = 0; channel < nout; ++channel) {
        for (int frame = 0; frame < frames; ++frame)
            loudest = std::max(loudest, std::fabs(out[channel][frame]));
    }
    m_fPeak = std::max(m_fPeak, loudest);
    if (loudest >= std::max(kSilence, m_fPeak * kFadedOut))
        m_nSilentFrames = 0;
    else
        m_nSilentFrames += frames;
}

CSequencerStream::Progress CSequencerStream::Check()
{
    const int status = m_api.fluid_player_get_status(m_player);
    const int tick = m_api.fluid_player_get_current_tick(m_player);
    const int lastTick = m_api.fluid_player_get_total_ticks(m_player);
    if (status == FLUID_PLAYER_DONE) {
        // A file the player cannot read stops it before its clock has moved.
        return tick == 0 && lastTick == 0 ? Progress::Failed : Progress::Ended;
    }
    if (status != FLUID_PLAYER_PLAYING || tick < lastTick)
        return Progress::Playing;
    if (m_nLastEventFrame < 0)
        m_nLastEventFrame = m_nFrames;
    // The player reports the end itself only some two seconds after the last voice has died
    // away, so the end is taken as soon as nothing is heard past the last tick: no voice is
    // left, or what still sounds has faded out for a tenth of a second. Only notes still
    // held sound on, until the longest tail is over.
    fluid_synth_t* synth = m_synth.Synth();
    if (m_api.fluid_synth_get_active_voice_count(synth) == 0 ||
        m_nSilentFrames >= SampleRate() / 10)
        return Progress::Ended;
    if (m_nFrames - m_nLastEventFrame < std::lround(kMaxTailSeconds * SampleRate()))
        return Progress::Playing;
    m_api.fluid_synth_all_notes_off(synth, kAllChannels);
    m_api.fluid_synth_all_sounds_off(synth, kAllChannels);
    return Progress::Ended;
}
