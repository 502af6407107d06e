#include "MidiPlayer.h"

#include "NativePath.h"
#include "SequencerNotifyEvent.h"
#include "SequencerService.h"
#include "SoundFontBanks.h"
#include "StringTable.h"

#include <utility>

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

// The file is auditioned with the sounds the card would use.
QStringList CMidiPlayer::CardSoundFonts() const
{
    return m_pBankTable ? m_cardFonts.HighestFirst(*m_pBankTable) : QStringList();
}

unsigned CMidiPlayer::PlayMidiFile(QObject* window, const QString& path)
{
    if (!m_sequencer)
        return SequencerError::NoSequencer;
    m_sequencer->UseSoundFonts(CardSoundFonts());
    return Start(window, path);
}

unsigned CMidiPlayer::Start(QObject* window, const QString& path)
{
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
    if (path.isEmpty() || IsPlaying() || IsLoading())
        return SequencerError::None;
    if (!m_sequencer)
        return SequencerError::NoSequencer;
    m_sequencer->UseSoundFonts(CardSoundFonts());
    if (m_sequencer->LoadSoundFonts(window))
        return Start(window, path);
    m_bLoading = true;
    m_strWaitingFile = path;
    return SequencerError::None;
}

void CMidiPlayer::Stop()
{
    m_bLoading = false;
    if (!IsPlaying())
        return;
    m_sequencer->Stop(m_nDeviceId);
    m_sequencer->Close(m_nDeviceId);
    m_bPlaying = 0;
}

unsigned CMidiPlayer::OnNotify(QObject* window, unsigned notifyCode, unsigned deviceId)
{
    if (!m_sequencer)
        return SequencerError::None;
    if (notifyCode == SequencerNotify::SoundFontsLoaded) {
        if (!std::exchange(m_bLoading, false))
            return SequencerError::None;
        return Start(window, m_strWaitingFile);
    }
    if (deviceId != m_nDeviceId)
        return SequencerError::None;
    m_sequencer->Close(m_nDeviceId);
    const bool wasPlaying = std::exchange(m_bPlaying, 0) != 0;
    return wasPlaying && notifyCode == SequencerNotify::Failed ? SequencerError::DamagedFile
                                                               : SequencerError::None;
}

QString CMidiPlayer::ProblemText(unsigned error) const
{
    switch (error) {
    case SequencerError::NoAudioOutput:
        return CStringTable::Load(IDS_NO_AUDIO_OUTPUT);
    case SequencerError::NoSoundFont:
        return CStringTable::Load(IDS_NO_SOUNDFONT)
            .arg(CNativePath::Display(m_sequencer->FailedSoundFont()));
    case SequencerError::DamagedFile:
        return CStringTable::Load(IDS_BROKEN_TRACKS);
    case SequencerError::NoSequencer:
        return CStringTable::Load(IDS_NO_SEQUENCER);
    default:
        return QString();
    }
}
