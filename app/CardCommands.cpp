#include "CardCommands.h"

#include "Audition.h"
#include "BankContents.h"
#include "BankContentsModel.h"
#include "BankTable.h"
#include "ConsoleMessageBox.h"
#include "MappingReport.h"
#include "MemoryFormat.h"
#include "MessageBoxService.h"
#include "MidiPlayer.h"
#include "NativePath.h"
#include "ProgramsListing.h"
#include "ResourceIds.h"
#include "SequencerNotifyEvent.h"
#include "SequencerService.h"
#include "SharedSynthLibrary.h"
#include "SoundFontBanks.h"
#include "StringTable.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <optional>
#include <vector>

namespace {

constexpr int kInterruptedStatus = 130;
constexpr int kInterruptPollMs = 100;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int)
{
    interrupted = 1;
}

// While it lives, a SIGINT sets interrupted instead of ending the process: a second Ctrl+C
// while a stopped phrase or file switches its notes off does not cut that short.
class CInterruptCatcher
{
public:
    CInterruptCatcher() : m_previous(std::signal(SIGINT, OnInterrupt)) { interrupted = 0; }
    ~CInterruptCatcher() { std::signal(SIGINT, m_previous); }
    CInterruptCatcher(const CInterruptCatcher&) = delete;
    CInterruptCatcher& operator=(const CInterruptCatcher&) = delete;

private:
    void (*m_previous)(int);
};

// The card and the player see files by their whole path, whatever the current directory
// of a later run.
QString AbsolutePath(const QString& file)
{
    return CNativePath::Absolute(file);
}

// Receives the sequencer's end notification, as the window does, and keeps the error of a
// play that failed.
class CPlaybackReceiver : public QObject
{
public:
    CPlaybackReceiver(CMidiPlayer& player, QEventLoop& loop) : m_player(player), m_loop(loop) {}

    unsigned Failure() const { return m_nFailure; }

protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() != CSequencerNotifyEvent::EventType())
            return;
        const auto* notify = static_cast<CSequencerNotifyEvent*>(event);
        if (const unsigned error =
                m_player.OnNotify(this, notify->NotifyCode(), notify->DeviceId()))
            m_nFailure = error;
        if (!m_player.IsPlaying())
            m_loop.quit();
    }

private:
    CMidiPlayer& m_player;
    QEventLoop& m_loop;
    unsigned m_nFailure = SequencerError::None;
};

// The bank that answers bank:program (bank 128: a drum kit), as the contents of the card
// name it; none when no bank holds it.
std::optional<AuditionRequest> Answering(const CBankTable& table, int bank, int program)
{
    CBankContents contents;
    contents.Read(table);
    for (const CBankContents::Row& row : contents.Rows()) {
        if (!row.IsHidden() && row.SynthBank() == bank && row.program.program == program)
            return AuditionRequest{row.bankId, row.SynthBank(), program, row.drumKit};
    }
    return std::nullopt;
}

// The window's words where it has them, else the file named.
QString PlayErrorText(const CMidiPlayer& player, unsigned error, const QString& file)
{
    switch (error) {
    case SequencerError::FileNotFound:
        return QStringLiteral("Unable to open the MIDI file: ") + file;
    case SequencerError::InvalidFile:
        return QStringLiteral("This file is not a MIDI file: ") + file;
    default:
        break;
    }
    const QString text = player.ProblemText(error);
    return text.isEmpty() ? QStringLiteral("The MIDI file cannot be played: ") + file : text;
}

int PlayErrorStatus(unsigned error)
{
    const bool isFile =
        error == SequencerError::FileNotFound || error == SequencerError::InvalidFile ||
        error == SequencerError::DamagedFile || error == SequencerError::NoSoundFont;
    return isFile ? CCardCommands::ExitFile : CCardCommands::ExitCard;
}

} // namespace

CCardCommands::CCardCommands(CBankTable& bankTable, QTextStream& out,
                             const CConsoleMessageBox& messages)
    : m_bankTable(bankTable), m_out(out), m_messages(messages), m_banksBefore(CardBanks())
{
}

int CCardCommands::ExitStatusOf(uint16_t code)
{
    if (code == SYNTH_OK)
        return ExitOk;
    const bool isFile = code == SYNTHERR_FILENOTFOUND || code == SYNTHERR_INVCOM;
    return isFile ? ExitFile : ExitCard;
}

int CCardCommands::Fail(const QString& text, int exitStatus)
{
    CMessageBoxService::Current().Show(nullptr, text, CStringTable::Load(IDS_ERROR_CAPTION),
                                       Mb::Ok | Mb::IconHand);
    return exitStatus;
}

void CCardCommands::Warn(const QString& text)
{
    CMessageBoxService::Current().Show(nullptr, text, CStringTable::Load(IDS_WARNING_CAPTION),
                                       Mb::Ok | Mb::IconExclamation);
}

// The window's message for the code, after the file it is about when there is one.
int CCardCommands::ShowStatusError(uint16_t code, const QString& file)
{
    const QString text = CBankTable::ErrorText(code);
    CBankTable::ShowError(code, file.isEmpty() ? text : file + QStringLiteral(": ") + text);
    return ExitStatusOf(code);
}

int CCardCommands::Status(bool json)
{
    const uint16_t code = m_bankTable.RefreshStatus();
    if (code != 0 && code != SYNTHERR_INVCOUNT)
        return ShowStatusError(code);
    if (json)
        PrintStatusJson();
    else
        PrintStatusText();
    // The card lists 8 banks and holds more: how many, as the card tells it, out of the
    // way of a program that reads the JSON.
    const QString more = CSharedSynthLibrary::FailureDetail(code);
    if (code == SYNTHERR_INVCOUNT && json)
        Warn(more);
    else if (code == SYNTHERR_INVCOUNT)
        m_out << more << '\n';
    return ExitOk;
}

// The window's figures and its bank list's columns, then the file of each bank when known.
void CCardCommands::PrintStatusText()
{
    const SynthStatus& status = m_bankTable.Status();
    m_out << "Total available memory: " << CMemoryFormat::Kilobytes(status.totalMemory) << '\n'
          << "Total used memory:      " << CMemoryFormat::Kilobytes(m_bankTable.GetUsedMemory())
          << '\n'
          << "Total free memory:      " << CMemoryFormat::Kilobytes(status.freeMemory) << ' '
          << CMemoryFormat::FreePercent(status) << '\n';
    if (status.bankCount == 0)
        return;
    // Sizes are right-aligned in a column wide enough for the largest card.
    m_out << Qt::left << qSetFieldWidth(4) << CStringTable::Load(IDS_FIRST_HEADING)
          << qSetFieldWidth(17) << CStringTable::Load(IDS_FIRST_HEADING + 1) << qSetFieldWidth(8)
          << CStringTable::Load(IDS_FIRST_HEADING + 2) << Qt::right << qSetFieldWidth(12)
          << CStringTable::Load(IDS_FIRST_HEADING + 3) << qSetFieldWidth(0) << "  Path\n";
    for (uint16_t i = 0; i < status.bankCount; ++i) {
        const SynthBankEntry& bank = status.banks[i];
        m_out << Qt::left << qSetFieldWidth(4) << bank.id << qSetFieldWidth(17)
              << m_bankTable.GetBankName(i) << qSetFieldWidth(8) << bank.priority << Qt::right
              << qSetFieldWidth(12) << CMemoryFormat::Kilobytes(bank.size) << qSetFieldWidth(0)
              << "  "
              << CNativePath::Display(m_bankTable.GetBankPath(static_cast<uint16_t>(bank.id)))
              << '\n';
    }
}

// Memory in bytes; a bank's path is null when no file is known for it.
void CCardCommands::PrintStatusJson()
{
    const SynthStatus& status = m_bankTable.Status();
    QJsonArray banks;
    for (uint16_t i = 0; i < status.bankCount; ++i) {
        const SynthBankEntry& bank = status.banks[i];
        const QString path = m_bankTable.GetBankPath(static_cast<uint16_t>(bank.id));
        banks.append(QJsonObject{{"id", static_cast<qint64>(bank.id)},
                                 {"name", m_bankTable.GetBankName(i)},
                                 {"priority", bank.priority},
                                 {"size", static_cast<qint64>(bank.size)},
                                 {"path", path.isEmpty() ? QJsonValue() : QJsonValue(path)}});
    }
    const QJsonObject root{{"totalMemory", static_cast<qint64>(status.totalMemory)},
                           {"usedMemory", static_cast<qint64>(m_bankTable.GetUsedMemory())},
                           {"freeMemory", static_cast<qint64>(status.freeMemory)},
                           {"banks", banks}};
    m_out << QJsonDocument(root).toJson(QJsonDocument::Indented);
}

int CCardCommands::Load(const QStringList& files)
{
    if (const QString refusal = m_bankTable.RefusalToLoad(files.size()); !refusal.isEmpty())
        return Fail(refusal, ExitCard);
    for (const QString& file : files) {
        const uint16_t result = m_bankTable.LoadBank(AbsolutePath(file));
        if (result > SYNTH_LOAD_ERROR_BASE)
            return ShowStatusError(result - SYNTH_LOAD_ERROR_BASE, file);
        m_out << result << '\n';
    }
    return ExitOk;
}

int CCardCommands::Unload(const QList<uint16_t>& ids)
{
    for (const uint16_t id : ids) {
        if (!HasBank(id))
            return RefuseUnknownBank(id);
    }
    QList<uint16_t> unloaded;
    for (const uint16_t id : ids) {
        // An ID given twice names one bank, unloaded once.
        if (unloaded.contains(id))
            continue;
        if (const uint16_t code = m_bankTable.UnloadBank(id))
            return ShowStatusError(code);
        unloaded << id;
    }
    return ExitOk;
}

int CCardCommands::UnloadAll()
{
    // On a card that holds more banks than it lists, the next ones come up as these go; a
    // round that leaves as many banks listed would never end.
    uint16_t code = 0;
    uint32_t listed = m_bankTable.Status().bankCount;
    for (;;) {
        code = m_bankTable.UnloadAllBanks();
        const uint32_t left = m_bankTable.Status().bankCount;
        if (code != 0 || left == 0 || left >= listed)
            break;
        listed = left;
    }
    return code == 0 ? ExitOk : ShowStatusError(code);
}

int CCardCommands::Priority(uint16_t id, int32_t priority)
{
    if (!HasBank(id))
        return RefuseUnknownBank(id);
    const uint16_t code = m_bankTable.SetBankPriority(id, priority);
    return code == 0 ? ExitOk : ShowStatusError(code);
}

int CCardCommands::LoadPreset(const QString& file, const LoadProgressFactory& progress)
{
    m_bankTable.SetLoadProgress(progress);
    if (!progress)
        m_bankTable.SetSleep([](int) {});
    const int shownBefore = m_messages.ShownCount();
    // A preset that could not be used has changed nothing, unless the card refused to let
    // go of a bank.
    if (!m_bankTable.LoadPreset(AbsolutePath(file)))
        return CardBanks() == m_banksBefore ? ExitFile : ExitCard;
    return m_messages.ShownCount() == shownBefore ? ExitOk : ExitCard;
}

QList<CCardCommands::Bank> CCardCommands::CardBanks() const
{
    QList<Bank> banks;
    const SynthStatus& status = m_bankTable.Status();
    for (uint16_t i = 0; i < status.bankCount; ++i)
        banks << Bank{status.banks[i].id, m_bankTable.GetBankName(i), status.banks[i].size};
    return banks;
}

bool CCardCommands::HasBank(uint16_t id) const
{
    const SynthStatus& status = m_bankTable.Status();
    return std::any_of(status.banks, status.banks + status.bankCount,
                       [id](const SynthBankEntry& bank) { return bank.id == id; });
}

int CCardCommands::RefuseUnknownBank(uint16_t id)
{
    return Fail(QStringLiteral("no bank with ID %1").arg(id), ExitCard);
}

void CCardCommands::SayWhatChanged(int status) const
{
    if (status == ExitOk)
        return;
    // A card that could not be read after the failure lists no banks: that says nothing of
    // what the command changed.
    if (!m_bankTable.StatusRead()) {
        Warn(QStringLiteral("the card could not be read after the failure, so what the command "
                            "changed is not known; 'korvane status' shows the card"));
        return;
    }
    const QList<Bank> now = CardBanks();
    const auto listMissing = [](const QList<Bank>& banks, const QList<Bank>& others) {
        QStringList listed;
        for (const Bank& bank : banks) {
            if (!others.contains(bank))
                listed << QStringLiteral("bank %1 (%2)").arg(bank.id).arg(bank.name);
        }
        return listed;
    };
    const QStringList unloaded = listMissing(m_banksBefore, now);
    const QStringList loaded = listMissing(now, m_banksBefore);
    QStringList changes;
    if (!unloaded.isEmpty())
        changes << QStringLiteral("unloaded ") + unloaded.join(QStringLiteral(", "));
    if (!loaded.isEmpty())
        changes << QStringLiteral("loaded ") + loaded.join(QStringLiteral(", "));
    if (changes.isEmpty())
        return;
    Warn(QStringLiteral("the card was changed: ") + changes.join(QStringLiteral("; ")));
}

int CCardCommands::SavePreset(const QString& file)
{
    WarnUnknownFiles();
    return m_bankTable.SavePreset(AbsolutePath(file)) ? ExitOk : ExitFile;
}

// A bank whose file nobody here knows is kept in the preset without one, and a later load
// of the preset cannot bring it back: the user is told which.
void CCardCommands::WarnUnknownFiles()
{
    const SynthStatus& status = m_bankTable.Status();
    for (uint16_t i = 0; i < status.bankCount; ++i) {
        if (!m_bankTable.GetBankPath(static_cast<uint16_t>(status.banks[i].id)).isEmpty())
            continue;
        Warn(QStringLiteral("The file of bank %1 (%2) is not known: the preset cannot load it.")
                 .arg(status.banks[i].id)
                 .arg(m_bankTable.GetBankName(i)));
    }
}

int CCardCommands::Programs(bool json, int bank, bool hidden)
{
    if (bank >= 0 && !HasBank(static_cast<uint16_t>(bank)))
        return RefuseUnknownBank(static_cast<uint16_t>(bank));
    CBankContentsModel contents;
    contents.Read(m_bankTable);
    const CProgramsListing::Choice choice{bank, hidden};
    if (json)
        CProgramsListing::PrintJson(m_out, contents, choice);
    else
        CProgramsListing::PrintText(m_out, contents, choice);
    return ExitOk;
}

int CCardCommands::Report(const QString& reportFile, const QString& templateFile)
{
    QString error;
    bool written = false;
    if (templateFile.isEmpty()) {
        written = CMappingReport::WriteMidiMapping(m_bankTable, reportFile, &error);
    } else {
        CMappingReport report(m_bankTable, templateFile, reportFile);
        written = report.Generate();
        error = report.ErrorString();
    }
    return written ? ExitOk : Fail(CStringTable::Load(IDS_REPORT_FAILED) + error, ExitFile);
}

int CCardCommands::Play(const QString& file, CSequencerService& sequencer)
{
    CMidiPlayer player(&sequencer, &m_bankTable);
    QEventLoop loop;
    CPlaybackReceiver receiver(player, loop);
    const CInterruptCatcher catcher;
    if (const unsigned error = player.PlayMidiFile(&receiver, AbsolutePath(file)))
        return Fail(PlayErrorText(player, error, file), PlayErrorStatus(error));
    RunUntilInterrupted(loop);
    const bool stopped = player.IsPlaying();
    player.Stop();
    if (const unsigned error = receiver.Failure())
        return Fail(PlayErrorText(player, error, file), PlayErrorStatus(error));
    return stopped ? kInterruptedStatus : ExitOk;
}

bool CCardCommands::RunUntilInterrupted(QEventLoop& loop)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&loop] {
        if (interrupted)
            loop.quit();
    });
    poll.start(kInterruptPollMs);
    loop.exec();
    return interrupted != 0;
}

int CCardCommands::Audition(int bank, int program, int channel,
                            std::unique_ptr<CAuditionOutput> output)
{
    std::optional<AuditionRequest> answering = Answering(m_bankTable, bank, program);
    if (!answering)
        return Fail(QStringLiteral("no bank in the card has program %1:%2").arg(bank).arg(program),
                    ExitCard);
    AuditionRequest request = *answering;
    request.channel = channel;
    CAudition audition(m_bankTable, std::move(output));
    QEventLoop loop;
    QString status;
    std::optional<QString> problem;
    QObject::connect(&audition, &CAudition::StatusChanged, &loop,
                     [&status](const QString& text) { status = text; });
    QObject::connect(&audition, &CAudition::Finished, &loop, [&](const QString& text) {
        problem = text;
        loop.quit();
    });
    m_out << QStringLiteral("Bank %1 answers %2:%3.").arg(request.bankId).arg(bank).arg(program)
          << Qt::endl;
    const CInterruptCatcher catcher;
    audition.Play(request);
    // A request that cannot be played has finished within Play already.
    const bool stopped = !problem && RunUntilInterrupted(loop) && !problem;
    if (stopped) {
        // The notes are switched off and the channel put back before the program ends.
        audition.Stop();
        while (!problem)
            loop.exec();
    }
    if (!problem->isEmpty())
        return Fail(*problem, ExitCard);
    if (!status.isEmpty())
        m_out << status << '\n';
    return stopped ? kInterruptedStatus : ExitOk;
}
