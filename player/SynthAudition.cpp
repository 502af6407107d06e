#include "SynthAudition.h"

#include "NativePath.h"
#include "SequencerSynth.h"
#include "StringTable.h"

namespace {
constexpr int IDS_AUDITION_NO_FLUIDSYNTH = 1089;
constexpr int IDS_AUDITION_NO_SOUNDFONT = 1097;
constexpr int IDS_AUDITION_NO_AUDIO_OUTPUT = 1096;
} // namespace

CSynthAudition::CSynthAudition(CSequencerAudioOutput::Opener openAudio)
    : m_openAudio(std::move(openAudio))
{
}

// The output goes first: its thread renders from the synthesizer until it is gone.
CSynthAudition::~CSynthAudition()
{
    m_output.reset();
}

QString CSynthAudition::PrepareSynth(const QStringList& fonts)
{
    // The General MIDI SoundFont loaded below the card's for a bank file's program may stay.
    if (m_synth && m_loadedPaths.mid(0, fonts.size()) == fonts &&
        m_loadedPaths.size() <= fonts.size() + 1)
        return QString();
    const FileIdentities identities = FileIdentity::OfEach(fonts);
    const CFluidSynthApi* api = CFluidSynthApi::Get();
    if (!api)
        return CStringTable::Load(IDS_AUDITION_NO_FLUIDSYNTH);
    // The old synthesizer goes first: two large sets of SoundFonts need not fit in memory.
    m_synth.reset();
    auto synth = std::make_unique<CSequencerSynth>(*api);
    QString failed;
    if (synth->LoadSoundFonts(fonts, failed))
        return CStringTable::Load(IDS_AUDITION_NO_SOUNDFONT).arg(CNativePath::Display(failed));
    m_synth = std::move(synth);
    m_loadedPaths = fonts;
    m_loadedFonts = identities;
    return QString();
}

QString CSynthAudition::Begin(const AuditionPlan& plan)
{
    QStringList fonts = plan.cardFonts;
    if (!fonts.contains(plan.soundFont))
        fonts.append(plan.soundFont);
    if (QString problem = PrepareSynth(fonts); !problem.isEmpty())
        return problem;
    const CFluidSynthApi& api = m_synth->Api();
    m_nChannel = plan.channel - 1;
    if (api.fluid_synth_program_select(m_synth->Synth(), m_nChannel,
                                       m_synth->FontId(plan.soundFont), plan.bank,
                                       plan.program) != FLUID_OK)
        return NoPresetText(plan);
    return QString();
}

bool CSynthAudition::Note(int key, int velocity)
{
    const CFluidSynthApi& api = m_synth->Api();
    if (velocity > 0)
        api.fluid_synth_noteon(m_synth->Synth(), m_nChannel, key, velocity);
    else
        api.fluid_synth_noteoff(m_synth->Synth(), m_nChannel, key);
    // The output opens with the first note, so that its first block already sounds it.
    if (!m_output)
        m_output = m_openAudio(m_synth->Settings(), &Render, m_synth.get());
    m_bNoOutput = !m_output;
    return !m_bNoOutput;
}

bool CSynthAudition::Sounding() const
{
    return m_synth->Api().fluid_synth_get_active_voice_count(m_synth->Synth()) > 0;
}

bool CSynthAudition::End()
{
    m_output.reset();
    // What still sounds is cut: the next audition starts on a silent synthesizer.
    m_synth->Api().fluid_synth_all_sounds_off(m_synth->Synth(), m_nChannel);
    // Whether the files changed since they were loaded is read here, out of the way of the
    // next audition's first note: one changed is loaded anew by the next audition.
    if (FileIdentity::OfEach(m_loadedPaths) != m_loadedFonts)
        m_synth.reset();
    return true;
}

QString CSynthAudition::Problem() const
{
    return m_bNoOutput ? CStringTable::Load(IDS_AUDITION_NO_AUDIO_OUTPUT) : QString();
}

int CSynthAudition::Render(void* data, int frames, int nfx, float* fx[], int nout, float* out[])
{
    return static_cast<const CSequencerSynth*>(data)->Process(frames, nfx, fx, nout, out);
}
