// Follows the card while the main window is shown, without holding the window: the card's
// status is read on a worker thread and handed to the window on its own thread. A card
// that rewrites a state file (the simulated card) is read when that file changes, so an
// idle window sleeps; a card that cannot tell of its changes (a server) is asked at most
// once per poll interval, and never while the watch is stopped.
#pragma once

#include "SynthStatus.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <chrono>
#include <cstdint>

class CBankTable;
class SynthLibrary;

class CCardWatch : public QObject
{
    Q_OBJECT

public:
    // The server card is asked at most this often.
    static constexpr std::chrono::milliseconds kPollInterval{2000};

    // Reads go to library; a read begun before table last read the card itself is dropped,
    // since the table then holds a newer status.
    CCardWatch(SynthLibrary& library, const CBankTable& table);
    // Waits for a read in flight: closing a server's connection while its answer may still
    // come would kill the server.
    ~CCardWatch() override;

    // The card's state file, or "" for a card that has to be asked.
    void SetStateFile(const QString& path);
    // While the window is shown; starting reads the card at once.
    void Start();
    void Stop();
    bool IsRunning() const { return m_running; }
    // Reads the card as soon as the poll interval allows (at once for a watched file).
    void ReadSoon();

signals:
    // The status read, with the card's status code and what the card said of a failure
    // (kept per thread by the library, so it is taken on the thread that read).
    void StatusRead(const SynthStatus& status, uint16_t code, const QString& failureDetail);

private:
    bool IsPolled() const { return m_stateFile.isEmpty() || !m_fileWatched; }
    void WatchStateFile();
    void Unwatch();
    void OnStateFileEvent();
    void BeginRead();
    void OnReadDone(const SynthStatus& status, uint16_t code, const QString& failureDetail,
                    uint64_t tableReads);

    SynthLibrary& m_library;
    const CBankTable& m_table;
    QString m_stateFile;
    bool m_fileWatched = false;
    bool m_running = false;
    bool m_reading = false;
    bool m_readAgain = false;
    std::chrono::steady_clock::time_point m_lastRead{};
    QTimer m_poll;
    QFileSystemWatcher m_files;
    // One worker, kept waiting for work without a timeout so that it never wakes by itself.
    QThreadPool m_worker;
};
