#include "MidiPlayer.h"

#include "SequencerService.h"

CMidiPlayer::CMidiPlayer(CSequencerService* sequencer) : m_sequencer(sequencer) {}

CMidiPlayer::~CMidiPlayer()
{
    Stop();
}

unsigned CMidiPlayer::PlayMidiFile(QObject* window, const QString& path)
{
    if (!m_sequencer)
        return SequencerError::NoSequencer;
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

void CMidiPlayer::Play(QObject* window, const QString& path)
{
    if (path.isEmpty() || IsPlaying())
        return;
    PlayMidiFile(window, path);
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
