// The MIDI file player's state: whether a file plays and on which sequencer device. Idle or
// Playing; the window shows the state on its Play button.
#pragma once

#include <QString>

class CBankTable;
class CSequencerService;
class QObject;

class CMidiPlayer
{
public:
    // Without a sequencer every play fails, as on a system without a sequencer device. With a
    // bank table, files play with the SoundFonts among its banks, else with General MIDI.
    explicit CMidiPlayer(CSequencerService* sequencer, const CBankTable* bankTable = nullptr);
    // A file still playing is stopped and its device closed: playback never outlives the
    // window that receives its notification.
    ~CMidiPlayer();
    CMidiPlayer(const CMidiPlayer&) = delete;
    CMidiPlayer& operator=(const CMidiPlayer&) = delete;

    // Opens the sequencer on path and starts it from its beginning; window receives the end
    // notification. Returns 0, or the sequencer's error code and the player stays idle.
    unsigned PlayMidiFile(QObject* window, const QString& path);

    // The Play button: starts path, unless it is empty or a file plays already (then 0).
    // Returns what PlayMidiFile returned.
    unsigned Play(QObject* window, const QString& path);
    // The Stop button: stops and closes the device of the file that plays, if any.
    void Stop();
    // The sequencer's notification that the play on deviceId has finished. A late one, about
    // a device stopped before, does not touch a newer play.
    void OnNotify(unsigned deviceId);

    bool IsPlaying() const { return m_bPlaying != 0; }
    unsigned DeviceId() const { return m_nDeviceId; }

    // What the user is told when a play cannot start with error, or fails after starting
    // with notifyCode; "" for the failures that pass silently (no file, not a MIDI file).
    static QString ProblemText(unsigned error);
    static QString NotifyProblemText(unsigned notifyCode);

private:
    CSequencerService* m_sequencer;
    const CBankTable* m_pBankTable;
    int m_bPlaying = 0;
    unsigned m_nDeviceId = 0;
};
