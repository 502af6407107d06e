#include "CardCommands.h"

#include "BankTable.h"
#include "ConsoleMessageBox.h"
#include "MappingReport.h"
#include "MemoryFormat.h"
#include "MessageBoxService.h"
#include "MidiPlayer.h"
#include "SequencerNotifyEvent.h"
#include "SequencerService.h"
#include "StringTable.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <csignal>

namespace {

constexpr int IDS_FIRST_HEADING = 103; // "N°", "Name", "Priority", "RAM Size"
constexpr int IDS_MAX_BANKS = 207;
constexpr int IDS_REPORT_FAILED = 1020;
constexpr int IDS_ERROR_CAPTION = 124;
constexpr int IDS_WARNING_CAPTION = 110;
constexpr int kInterruptedStatus = 130;
constexpr int kInterruptPollMs = 100;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int)
{
    interrupted = 1;
}

// The card and the player see files by their whole path, whatever the current directory
// of a later run.
QString AbsolutePath(const QString& file)
{
    return QFileInfo(file).absoluteFilePath();
}

// Receives the sequencer's end notification, as the window does.
class CPlaybackReceiver : public QObject
{
public:
    CPlaybackReceiver(CMidiPlayer& player, QEventLoop& loop) : m_player(player), m_loop(loop) {}

protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() != CSequencerNotifyEvent::EventType())
            return;
        m_player.OnNotify(static_cast<CSequencerNotifyEvent*>(event)->DeviceId());
        if (!m_player.IsPlaying())
            m_loop.quit();
    }

private:
    CMidiPlayer& m_player;
    QEventLoop& m_loop;
};

QString PlayErrorText(unsigned error, const QString& file)
{
    switch (error) {
    case SequencerError::FileNotFound:
        return QStringLiteral("Unable to open the MIDI file: ") + file;
    case SequencerError::InvalidFile:
        return QStringLiteral("This file is not a MIDI file: ") + file;
    case SequencerError::NoSoundFont:
        return QStringLiteral("No General MIDI SoundFont could be loaded.");
    case SequencerError::NoAudioOutput:
        return QStringLiteral("No audio output could be opened.");
    default:
        return QStringLiteral("The MIDI file cannot be played: ") + file;
    }
}

int PlayErrorStatus(unsigned error)
{
    const bool isFile = error == SequencerError::FileNotFound ||
                        error == SequencerError::InvalidFile ||
                        error == SequencerError::NoSoundFont;
    return isFile ? CCardCommands::ExitFile : CCardCommands::ExitCard;
}

} // namespace

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

// The window's message for the code, after the file it is about when there is one.
int CCardCommands::ShowStatusError(uint16_t code, const QString& file)
{
    const QString text = CBankTable::ErrorText(code);
    CBankTable::ShowError(code, file.isEmpty() ? text : file + QStringLiteral(": ") + text);
    return ExitStatusOf(code);
}

int CCardCommands::Status(bool json)
{
    if (json)
        PrintStatusJson();
    else
        PrintStatusText();
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
              << "  " << m_bankTable.GetBankPath(static_cast<uint16_t>(bank.id)) << '\n';
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
    for (const QString& file : files) {
        // Refused before the card is asked, as the window does.
        if (m_bankTable.Status().bankCount >= MAX_BANKS)
            return Fail(CStringTable::Load(IDS_MAX_BANKS), ExitCard);
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
        if (const uint16_t code = m_bankTable.UnloadBank(id))
            return ShowStatusError(code);
    }
    return ExitOk;
}

int CCardCommands::UnloadAll()
{
    const uint16_t code = m_bankTable.UnloadAllBanks();
    return code == 0 ? ExitOk : ShowStatusError(code);
}

int CCardCommands::Priority(uint16_t id, int32_t priority)
{
    const uint16_t code = m_bankTable.SetBankPriority(id, priority);
    return code == 0 ? ExitOk : ShowStatusError(code);
}

int CCardCommands::LoadPreset(const QString& file, const LoadProgressFactory& progress)
{
    m_bankTable.SetLoadProgress(progress);
    if (!progress)
        m_bankTable.SetSleep([](int) {});
    const int shownBefore = m_messages.ShownCount();
    if (!m_bankTable.LoadPreset(AbsolutePath(file)))
        return ExitFile;
    return m_messages.ShownCount() == shownBefore ? ExitOk : ExitCard;
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
        CMessageBoxService::Current().Show(
            nullptr,
            QStringLiteral("The file of bank %1 (%2) is not known: the preset cannot load it.")
                .arg(status.banks[i].id)
                .arg(m_bankTable.GetBankName(i)),
            CStringTable::Load(IDS_WARNING_CAPTION), Mb::Ok | Mb::IconExclamation);
    }
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
    CMidiPlayer player(&sequencer);
    QEventLoop loop;
    CPlaybackReceiver receiver(player, loop);
    if (const unsigned error = player.PlayMidiFile(&receiver, AbsolutePath(file)))
        return Fail(PlayErrorText(error, file), PlayErrorStatus(error));
    interrupted = 0;
    const auto previous = std::signal(SIGINT, OnInterrupt);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&loop] {
        if (interrupted)
            loop.quit();
    });
    poll.start(kInterruptPollMs);
    loop.exec();
    std::signal(SIGINT, previous);
    const bool stopped = player.IsPlaying();
    player.Stop();
    return stopped ? kInterruptedStatus : ExitOk;
}
