// The MIDI file player's controls in the main window: the file chosen with Browse and shown
// beside the buttons, Play and Stop, the sequencer's notifications, and what the Play button
// and the cursor show of the player's state.
#pragma once

#include "MidiPlayer.h"

#include <QString>

class CBankTable;
class COptions;
class CSequencerNotifyEvent;
class CSequencerService;
class QWidget;

class CPlayerControls
{
public:
    // The controls are window's; the sequencer's notifications go to window too. Without a
    // sequencer the player stays idle. The options remember the file chosen.
    CPlayerControls(QWidget& window, COptions& options, CSequencerService* sequencer,
                    const CBankTable* bankTable);

    // The file the options remember, once they have been read.
    void ReadOptions();
    // Shows the file's path in its static.
    void ShowMidiFile();

    void OnBrowseMidi();
    void OnPlayMidi();
    void OnStopMidi();
    void OnMciNotify(const CSequencerNotifyEvent& event);

    // A red or green Play button, and the cursor, as the player's state is.
    void ShowPlayerState();

    const CMidiPlayer& Player() const { return m_player; }

private:
    // A play that cannot start or that fails is said, unless it fails silently.
    void ShowPlayerProblem(unsigned error);

    QWidget& m_window;
    COptions& m_options;
    CMidiPlayer m_player;
    QString m_strMidiFile;
};
