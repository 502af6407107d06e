// The commands of the command line over the card: each one calls the bank table, the
// preset load and save, the report or the player that the window calls, writes what it
// has to say to the output stream and its errors through the message box service, and
// returns the program's exit status.
#pragma once

#include "LoadProgress.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cstdint>
#include <memory>

class CAuditionOutput;
class CBankTable;
class QEventLoop;
class CConsoleMessageBox;
class CSequencerService;

class CCardCommands
{
public:
    // Exit statuses: success, a command line that cannot be run, a status code or refusal
    // from the card (or from the sound output), a file that cannot be read or written.
    static constexpr int ExitOk = 0;
    static constexpr int ExitUsage = 2;
    static constexpr int ExitCard = 3;
    static constexpr int ExitFile = 4;

    // messages is the current message box service while the commands run. The banks the
    // table holds now are what SayWhatChanged compares with.
    CCardCommands(CBankTable& bankTable, QTextStream& out, const CConsoleMessageBox& messages);

    // The memory figures and the banks, as text in the window's formats or as JSON.
    int Status(bool json);
    // Loads the files in order and prints each new bank's ID; stops at the first failure.
    // A list that would not fit in the card is refused before anything is loaded.
    int Load(const QStringList& files);
    // Unloads the banks in order, after checking that every ID names a bank, so that a
    // wrong ID changes nothing; stops at the first failure.
    int Unload(const QList<uint16_t>& ids);
    int UnloadAll();
    int Priority(uint16_t id, int32_t priority);
    // A preset load as the window's: the file is read whole, then the card is emptied and
    // the preset's banks are loaded, each failure reported and skipped. ExitCard when a
    // bank failed. With a progress (for a person watching) the load shows it and pauses at
    // the end as the window's does; without one it does not pause.
    int LoadPreset(const QString& file, const LoadProgressFactory& progress);
    int SavePreset(const QString& file);
    // Prints every instrument and drum kit of the banks (of the bank with ID bank only,
    // unless it is -1) and the bank that answers it; hidden: the rows a bank searched
    // before hides too, marked. As a table, or as JSON.
    int Programs(bool json, int bank, bool hidden);
    // Writes the report from templateFile, or from the template beside the program.
    int Report(const QString& reportFile, const QString& templateFile);
    // Plays the MIDI file to its end with the card's SoundFonts, as the window's player
    // does; a SIGINT stops it and the status is then 130. A file whose tracks are damaged
    // is said, with ExitFile.
    int Play(const QString& file, CSequencerService& sequencer);
    // Plays the audition phrase of bank:program (bank 128: the drum kits) from the bank
    // that answers it, the first in the synthesizer's search order that holds it, on
    // channel (1..16) through output, and returns when it is over. ExitCard when no bank
    // holds it or it cannot be played; a SIGINT stops it, with the status 130.
    int Audition(int bank, int program, int channel, std::unique_ptr<CAuditionOutput> output);

    // The exit status of a card's status code.
    static int ExitStatusOf(uint16_t code);

    // After a command that failed (status is not ExitOk), or whose output was lost: which
    // banks it unloaded and loaded all the same, so that nothing happens unseen.
    void SayWhatChanged(int status) const;

private:
    // A bank as the card listed it.
    struct Bank
    {
        uint32_t id;
        QString name;
        uint32_t size;
        bool operator==(const Bank&) const = default;
    };
    QList<Bank> CardBanks() const;
    bool HasBank(uint16_t id) const;
    static int RefuseUnknownBank(uint16_t id);
    // Runs loop until it quits or a SIGINT comes (caught while a CInterruptCatcher lives);
    // true for a SIGINT.
    static bool RunUntilInterrupted(QEventLoop& loop);

    void PrintStatusText();
    void PrintStatusJson();
    int ShowStatusError(uint16_t code, const QString& file = QString());
    static int Fail(const QString& text, int exitStatus);
    static void Warn(const QString& text);
    void WarnUnknownFiles();

    CBankTable& m_bankTable;
    QTextStream& m_out;
    const CConsoleMessageBox& m_messages;
    QList<Bank> m_banksBefore;
};
