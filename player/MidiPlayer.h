// The MIDI file player's state: whether a file plays and on which sequencer device. Idle,
// Loading (the file waits for its SoundFonts) or Playing; the window shows the state on its
// Play button.
#pragma once

#include "SoundFontBanks.h"

#include <QString>
#include <QStringList>

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

    // Opens the sequencer on path and starts it from its beginning, loading the SoundFonts
    // first if need be, before it returns; window receives the end notification. Returns 0,
    // or the sequencer's error code and the player stays idle.
    unsigned PlayMidiFile(QObject* window, const QString& path);

    // The Play button: starts path, unless it is empty or a file plays or waits already
    // (then 0). When the SoundFonts must be loaded first, they load on a thread of their own
    // and the player is Loading until the sequencer's notification (OnNotify) starts the
    // file. Returns 0 or the error of PlayMidiFile.
    unsigned Play(QObject* window, const QString& path);
    // The Stop button: stops and closes the device of the file that plays, if any; a file
    // that waits for its SoundFonts does not start (they still load, for the next play).
    void Stop();
    // The sequencer's notification to window. The end of a play returns the player to Idle;
    // a late one, about a device stopped before, does not touch a newer play. The end of a
    // SoundFont load starts the file that waits for it. Returns 0, the error of that start,
    // or DamagedFile for a play that failed after starting.
    unsigned OnNotify(QObject* window, unsigned notifyCode, unsigned deviceId);

    bool IsPlaying() const { return m_bPlaying != 0; }
    bool IsLoading() const { return m_bLoading; }
    unsigned DeviceId() const { return m_nDeviceId; }

    // What the user is told about error (a play that cannot start, or fails after
    // starting); "" for the failures that pass silently (no file, not a MIDI file).
    QString ProblemText(unsigned error) const;

private:
    // The SoundFonts the card would play with, the highest priority first; empty for the
    // General MIDI one. The window and the command line both play with this list.
    QStringList CardSoundFonts() const;
    unsigned Start(QObject* window, const QString& path);

    CSequencerService* m_sequencer;
    const CBankTable* m_pBankTable;
    mutable CSoundFontBanks m_cardFonts;
    int m_bPlaying = 0;
    unsigned m_nDeviceId = 0;
    bool m_bLoading = false;
    QString m_strWaitingFile;
};
