// Plays a short phrase of one program of one bank in the card, through the card's own
// synthesizer (the FluidSynth server, or the player's synthesizer for the simulated card).
// The phrase plays on a thread of its own, so the window keeps answering; a second
// audition stops the first, whose notes are switched off and whose channel is put back
// before the second begins.
#pragma once

#include "AuditionOutput.h"
#include "AuditionPhrase.h"
#include "AuditionRequest.h"
#include "SoundFontBanks.h"

#include <QObject>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class CBankTable;

class CAudition : public QObject
{
    Q_OBJECT

public:
    // table: the card's banks, read on the calling thread at each request; output: where
    // the phrases sound (OutputFor).
    CAudition(const CBankTable& table, std::unique_ptr<CAuditionOutput> output,
              QObject* parent = nullptr);
    // Stops the phrase that plays, puts its channel back and ends the thread, waiting for
    // it (Retire does not wait).
    ~CAudition() override;
    CAudition(const CAudition&) = delete;
    CAudition& operator=(const CAudition&) = delete;

    // The output of the card whose library is at libraryPath: the server's at
    // serverAddress ("host:port") for the server card, else the player's synthesizer.
    static std::unique_ptr<CAuditionOutput> OutputFor(const QString& libraryPath,
                                                      const QString& serverAddress);

    // Starts the request's phrase, stopping the one that plays. A request that cannot be
    // played is said at once (StatusChanged, then Finished).
    void Play(const AuditionRequest& request);
    // Stops the phrase and ends the thread without waiting, so that a server that does
    // not answer never holds up the caller: once the channel is put back and the thread
    // is over, the audition deletes itself (deleteLater, on the event loop of the thread
    // that made it).
    void Retire();
    // Whether a retired audition's thread is over, waiting at most that long.
    bool WaitRetired(std::chrono::milliseconds wait);

public slots:
    // Play, with the request's fields as a bank contents row gives them.
    void Audition(int nBankId, int nBankNumber, int nProgram, bool bDrumKit, int nChannel);
    // Stops the phrase that plays, if any.
    void Stop();

signals:
    // What the user is told of an audition: empty as it starts, the General MIDI
    // SoundFont's program that plays a bank file's, or why it cannot be played.
    void StatusChanged(const QString& text);
    // An audition is over (played out, stopped, or failed): problem is empty, or why it
    // failed, as StatusChanged said it.
    void Finished(const QString& problem);

private:
    // The request resolved on the calling thread; empty problem when it can be played.
    AuditionPlan Resolve(const AuditionRequest& request, QString& problem, QString& note) const;
    void Run();
    // Plays plan's phrase; the problem that ended it, or "".
    QString Perform(const AuditionPlan& plan);
    // Waits until the time given or a stop, whichever comes first; false on a stop.
    bool WaitUntil(std::chrono::steady_clock::time_point time);

    const CBankTable& m_table;
    std::unique_ptr<CAuditionOutput> m_output;
    // The card's SoundFonts, the highest priority first.
    mutable CSoundFontBanks m_cardFonts;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<AuditionPlan> m_pending;
    bool m_bStop = false;
    bool m_bQuit = false;
    bool m_bRetired = false;
    bool m_bEnded = false;
    std::thread m_thread;
};
