// The system's MIDI sequencer device: opens a MIDI file, plays it once with an end
// notification posted to a window, stops and closes it.
#pragma once

#include <QString>
#include <QStringList>

class QObject;

// Results of the sequencer's operations: 0 is success.
namespace SequencerError {
constexpr unsigned None = 0;
// No open device has this id.
constexpr unsigned InvalidDevice = 1;
// The file does not exist or cannot be read.
constexpr unsigned FileNotFound = 2;
// The file is not a standard MIDI file.
constexpr unsigned InvalidFile = 3;
// No General MIDI SoundFont could be loaded.
constexpr unsigned NoSoundFont = 4;
// No audio output could be opened.
constexpr unsigned NoAudioOutput = 5;
// The device has played already; open the file again to play it again.
constexpr unsigned NotReady = 6;
// There is no sequencer at all.
constexpr unsigned NoSequencer = 7;
// Another file is open on the sequencer; close it first.
constexpr unsigned Busy = 8;
// The file is a standard MIDI file whose tracks cannot be read whole: cut short, or
// holding bytes that are no MIDI file's events.
constexpr unsigned DamagedFile = 9;
} // namespace SequencerError

// Every call comes from the window thread; only the notifications are asynchronous.
class CSequencerService
{
public:
    virtual ~CSequencerService();

    // Opens the sequencer on the MIDI file at path. Returns 0 with the new device's id in
    // deviceId, or an error code and deviceId is left alone. Ids are never given out twice.
    virtual unsigned Open(const QString& path, unsigned& deviceId) = 0;
    // Starts the device's file from its beginning. On success exactly one
    // CSequencerNotifyEvent is posted to window later: when the file has ended, was stopped
    // or closed, or failed. On an error nothing is posted. window must stay alive until the
    // device is closed.
    virtual unsigned Play(unsigned deviceId, QObject* window) = 0;
    // Stops playing; the device stays open.
    virtual unsigned Stop(unsigned deviceId) = 0;
    // Stops the device if it plays and frees it.
    virtual unsigned Close(unsigned deviceId) = 0;

    // The SoundFonts that files opened from now on play with, the highest priority first;
    // an empty list stands for the General MIDI SoundFont. Open loads them if need be.
    virtual void UseSoundFonts(const QStringList& highestFirst) = 0;
    // Loads those SoundFonts ahead of Open, on a thread of its own, so that the window
    // answers while a large one loads. True when there is nothing to load: Open starts at
    // once. Otherwise one CSequencerNotifyEvent with code SoundFontsLoaded is posted to
    // window when the load is over, whether or not it succeeded; Open then gives its result.
    virtual bool LoadSoundFonts(QObject* window) = 0;
    // The SoundFont file that the last load could not load (Open's NoSoundFont).
    virtual QString FailedSoundFont() const = 0;
};
