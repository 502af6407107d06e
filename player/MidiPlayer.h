// The MIDI file player's state: whether a file plays and on which sequencer device. Idle or
// Playing; the window shows the state on its Play button.
#pragma once

#include <QString>

class CSequencerService;
class QObject;

class CMidiPlayer
{
public:
    // Without a sequencer every play fails, as on a system without a sequencer device.
    explicit CMidiPlayer(CSequencerService* sequencer);
    // A file still playing is stopped and its device closed: playback never outlives the
    // window that receives its notification.
    ~CMidiPlayer();
    CMidiPlayer(const CMidiPlayer&) = delete;
    CMidiPlayer& operator=(const CMidiPlayer&) = delete;

    // Opens the sequencer on path and starts it from its beginning; window receives the end
    // notification. Returns 0, or the sequencer's error code and the player stays idle.
    unsigned PlayMidiFile(QObject* window, const QString& path);

    // The Play button: starts path, unless it is empty or a file plays already.
    void Play(QObject* window, const QString& path);
    // The Stop button: stops and closes the device of the file that plays, if any.
    void Stop();
    // The sequencer's notification that the play on deviceId has finished. A late one, about
    // a device stopped before, does not touch a newer play.
    void OnNotify(unsigned deviceId);

    bool IsPlaying() const { return m_bPlaying != 0; }
    unsigned DeviceId() const { return m_nDeviceId; }

private:
    CSequencerService* m_sequencer;
    int m_bPlaying = 0;
    unsigned m_nDeviceId = 0;
};
