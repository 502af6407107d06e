#pragma once

#include "SequencerService.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <map>

// A sequencer service for tests: records every call and plays nothing. Like a real
// sequencer it refuses a path that does not exist, gives every open a new id and posts one
// notification per play: when the test ends the file, or when the play is stopped or closed.
class CFakeSequencer : public CSequencerService
{
public:
    unsigned Open(const QString& path, unsigned& deviceId) override;
    unsigned Play(unsigned deviceId, QObject* window) override;
    unsigned Stop(unsigned deviceId) override;
    unsigned Close(unsigned deviceId) override;
    void UseSoundFonts(const QStringList& highestFirst) override { m_soundFonts = highestFirst; }
    // Loaded at once, unless the test holds the loads back.
    bool LoadSoundFonts(QObject* window) override;
    QString FailedSoundFont() const override { return QString(); }

    // LoadSoundFonts answers that a load has started; FinishLoad ends it.
    void HoldLoads() { m_bHoldLoads = true; }
    // The load under way is over: its notification is posted.
    void FinishLoad();

    // The file of deviceId reaches its end: its play's notification is posted.
    void EndOfFile(unsigned deviceId);
    // The play of deviceId fails after starting: its play's notification says so.
    void FailPlay(unsigned deviceId);
    // The next Play answers error instead of playing.
    void FailNextPlay(unsigned error) { m_nPlayError = error; }

    // Every call as "open <path>", "play <id>", "stop <id>" or "close <id>", each followed
    // by " -> <result>".
    const QStringList& Calls() const { return m_calls; }
    // The file that plays now, "" when none does.
    QString PlayingFile() const;
    int OpenDevices() const { return static_cast<int>(m_devices.size()); }
    // The SoundFonts asked for last, highest priority first.
    const QStringList& SoundFonts() const { return m_soundFonts; }

private:
    struct Device
    {
        QString path;
        QPointer<QObject> window;
        bool started = false;
        bool playing = false;
    };
    unsigned Record(const QString& call, unsigned result);
    // Ends the play of device with code, posting its notification if it still plays.
    void Finish(unsigned deviceId, Device& device, unsigned code);

    std::map<unsigned, Device> m_devices;
    unsigned m_nNextId = 1;
    unsigned m_nPlayError = 0;
    bool m_bHoldLoads = false;
    QPointer<QObject> m_loadWindow;
    QStringList m_calls;
    QStringList m_soundFonts;
};
