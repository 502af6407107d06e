#include "SequencerSynth.h"

#include "NativePath.h"
#include "SequencerService.h"

#include <QFile>
#include <QFileInfo>

CSequencerSynth::CSequencerSynth(const CFluidSynthApi& api)
    : m_api(api), m_settings(api.new_fluid_settings())
{
    // The player's clock follows the samples rendered, not the wall clock, so a file keeps
    // its timing whoever pulls the samples and however late.
    m_api.fluid_settings_setstr(m_settings, "player.timing-source", "sample");
    m_synth = m_api.new_fluid_synth(m_settings);
    double rate = 0;
    m_api.fluid_settings_getnum(m_settings, "synth.sample-rate", &rate);
    m_nSampleRate = static_cast<int>(rate);
}

CSequencerSynth::~CSequencerSynth()
{
    m_api.delete_fluid_synth(m_synth);
    m_api.delete_fluid_settings(m_settings);
}

unsigned CSequencerSynth::LoadSoundFonts(const QStringList& highestFirst, QString& failed)
{
    if (highestFirst.isEmpty())
        return SequencerError::NoSoundFont;
    // Each SoundFont loaded goes on top of those before it, so the lowest comes first. Only
    // regular files: FluidSynth would wait for ever on a pipe.
    for (auto font = highestFirst.crbegin(); font != highestFirst.crend(); ++font) {
        const int id =
            QFileInfo(*font).isFile()
                ? m_api.fluid_synth_sfload(m_synth, CNativePath::Encode(*font).constData(), 1)
                : FLUID_FAILED;
        if (id == FLUID_FAILED) {
            failed = *font;
            return SequencerError::NoSoundFont;
        }
        m_fontIds.insert(*font, id);
    }
    return SequencerError::None;
}

int CSequencerSynth::Process(int frames, int nfx, float* fx[], int nout, float* out[]) const
{
    if (nfx > 0)
        return m_api.fluid_synth_process(m_synth, frames, nfx, fx, nout, out);
    if (nout <= 0)
        return FLUID_FAILED;
    // Reverb and chorus, left and right, go into the dry output.
    float* effects[] = {out[0], out[nout - 1], out[0], out[nout - 1]};
    return m_api.fluid_synth_process(m_synth, frames, 4, effects, nout, out);
}
