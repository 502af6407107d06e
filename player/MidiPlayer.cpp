#include "MidiPlayer.h"

#include "SequencerNotifyEvent.h"
#include "SequencerService.h"
#include "SoundFontBanks.h"
#include "StringTable.h"

namespace {
constexpr int IDS_NO_AUDIO_OUTPUT = 1070;
constexpr int IDS_NO_SOUNDFONT = 1071;
constexpr int IDS_BROKEN_TRACKS = 1072;
constexpr int IDS_NO_SEQUENCER = 1073;
} // namespace

CMidiPlayer::CMidiPlayer(CSequencerService* sequencer, const CBankTable* bankTable)
    : m_sequencer(sequencer), m_pBankTable(bankTable)
{
}

CMidiPlayer::~CMidiPlayer()
{
    Stop();
}

unsigned CMidiPlayer::PlayMidiFile(QObject* window, const QString& path)
{
    if (!m_sequencer)
        return SequencerError::NoSequencer;
    // The file is auditioned with the sounds the card would use.
    m_sequencer->UseSoundFonts(m_pBankTable ? CSoundFontBanks::HighestFirst(*m_pBankTable)
                                            : QStringList());
    unsigned deviceId = 0;
    if (const unsigned error = m_sequencer->Open(path, deviceId))
        return error;
    m_nDeviceId = deviceId;
    if (const unsigned error = m_sequencer->Play(deviceId, window)) {
        m_sequencer->Close(deviceId);
        return error;
    }
    m_bPlaying = 1;
    return SequencerError::None;
}

unsigned CMidiPlayer::Play(QObject* window, const QString& path)
{
    if (path.isEmpty() || IsPlaying())
        return SequencerError::None;
    return PlayMidiFile(window, path);
}

void CMidiPlayer::Stop()
{
    if (!IsPlaying())
        return;
    m_sequencer->Stop(m_nDeviceId);
    m_sequencer->Close(m_nDeviceId);
    m_bPlaying = 0;
}

void CMidiPlayer::OnNotify(unsigned deviceId)
{
    if (!m_sequencer || deviceId != m_nDeviceId)
        return;
    m_sequencer->Close(m_nDeviceId);
    m_bPlaying = 0;
}

QString CMidiPlayer::ProblemText(unsigned error)
{
    switch (error) {
    case SequencerError::NoAudioOutput:
        return CStringTable::Load(IDS_NO_AUDIO_OUTPUT);
    case SequencerError::NoSoundFont:
        return CStringTable::Load(IDS_NO_SOUNDFONT);
    case SequencerError::NoSequencer:
        return CStringTable::Load(IDS_NO_SEQUENCER);
    default:
        return QString();
    }
}

QString CMidiPlayer::NotifyProblemText(unsigned notifyCode)
{
    return notifyCode == SequencerNotify::Failed ? CStringTable::Load(IDS_BROKEN_TRACKS)
                                                 : QString();
}
