#include "SequencerStream.h"

#include "SequencerService.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {
// Far beyond any real MIDI file; larger files are not read into memory.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;
// A sample that rounds to zero in 16-bit audio is silence.
constexpr float kSilence = 0.5f / 32768;
} // namespace

CSequencerStream::CSequencerStream() : m_settings(new_fluid_settings())
{
    // The player's clock follows the samples rendered, not the wall clock, so the file keeps
    // its timing whoever pulls the samples and however late.
    fluid_settings_setstr(m_settings, "player.timing-source", "sample");
    m_synth = new_fluid_synth(m_settings);
    m_player = new_fluid_player(m_synth);
    double rate = 0;
    fluid_settings_getnum(m_settings, "synth.sample-rate", &rate);
    m_nSampleRate = static_cast<int>(rate);
}

CSequencerStream::~CSequencerStream()
{
    delete_fluid_player(m_player);
    delete_fluid_synth(m_synth);
    delete_fluid_settings(m_settings);
}

unsigned CSequencerStream::Load(const QString& path, const QString& soundFont)
{
    // Only a regular file: a device or a pipe might never end.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return SequencerError::FileNotFound;
    if (file.size() > kMaxFileSize || !fluid_is_midifile(QFile::encodeName(path).constData()))
        return SequencerError::InvalidFile;
    const QByteArray midi = file.readAll();
    if (soundFont.isEmpty() ||
        fluid_synth_sfload(m_synth, QFile::encodeName(soundFont).constData(), 1) == FLUID_FAILED)
        return SequencerError::NoSoundFont;
    if (fluid_player_add_mem(m_player, midi.constData(), static_cast<size_t>(midi.size())) !=
        FLUID_OK)
        return SequencerError::InvalidFile;
    return SequencerError::None;
}

void CSequencerStream::Start()
{
    fluid_player_play(m_player);
}

CSequencerStream::Progress CSequencerStream::Render(int frames, int nfx, float* fx[], int nout,
                                                    float* out[])
{
    int result = FLUID_FAILED;
    if (nfx > 0) {
        result = fluid_synth_process(m_synth, frames, nfx, fx, nout, out);
    } else if (nout > 0) {
        // Reverb and chorus, left and right, go into the dry output.
        float* effects[] = {out[0], out[nout - 1], out[0], out[nout - 1]};
        result = fluid_synth_process(m_synth, frames, 4, effects, nout, out);
    }
    if (result != FLUID_OK)
        return Progress::Failed;
    Listen(frames, nout, out);
    return Check();
}

void CSequencerStream::Listen(int frames, int nout, float* out[])
{
    for (int channel = 0; channel < nout; ++channel) {
        for (int frame = 0; frame < frames; ++frame) {
            if (std::fabs(out[channel][frame]) >= kSilence) {
                m_nSilentFrames = 0;
                return;
            }
        }
    }
    m_nSilentFrames += frames;
}

CSequencerStream::Progress CSequencerStream::Check() const
{
    const int status = fluid_player_get_status(m_player);
    const int tick = fluid_player_get_current_tick(m_player);
    const int lastTick = fluid_player_get_total_ticks(m_player);
    if (status == FLUID_PLAYER_DONE) {
        // A file the player cannot read stops it before its clock has moved.
        return tick == 0 && lastTick == 0 ? Progress::Failed : Progress::Ended;
    }
    // The player reports the end itself only some two seconds after the last voice has died
    // away, so the end is taken as soon as nothing sounds past the last tick: no voice is
    // left, or the voices still fading out have been inaudible for a tenth of a second.
    const bool quiet =
        fluid_synth_get_active_voice_count(m_synth) == 0 || m_nSilentFrames >= m_nSampleRate / 10;
    if (status == FLUID_PLAYER_PLAYING && tick >= lastTick && quiet)
        return Progress::Ended;
    return Progress::Playing;
}
