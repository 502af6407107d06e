#include "CommandLine.h"

#include "Audition.h"
#include "BankPathMemory.h"
#include "BankTable.h"
#include "CardChoice.h"
#include "CardCommands.h"
#include "CommandHelp.h"
#include "ConsoleMessageBox.h"
#include "ExecutableDir.h"
#include "FileKind.h"
#include "NativePath.h"
#include "SequencerFluidSynth.h"
#include "SharedSynthLibrary.h"
#include "SoundFontBanks.h"
#include "TerminalLoadProgress.h"

#include <QCommandLineParser>
#include <QIODevice>
#include <QRegularExpression>

#include <array>

namespace {

constexpr char kProgram[] = "korvane";
constexpr uint16_t kMaxBankId = UINT16_MAX;

// What each command takes: how many arguments, and which options besides --synth
// (separated by spaces).
struct CommandShape
{
    QLatin1StringView name;
    qsizetype minArguments;
    qsizetype maxArguments;
    QLatin1StringView option;
};

constexpr qsizetype kAny = -1;

constexpr std::array kCommands = {
    CommandShape{QLatin1StringView("status"), 0, 0, QLatin1StringView("json")},
    CommandShape{QLatin1StringView("load"), 1, kAny, QLatin1StringView()},
    CommandShape{QLatin1StringView("unload"), 0, kAny, QLatin1StringView("all")},
    CommandShape{QLatin1StringView("priority"), 2, 2, QLatin1StringView()},
    CommandShape{QLatin1StringView("preset"), 2, 2, QLatin1StringView()},
    CommandShape{QLatin1StringView("report"), 1, 1, QLatin1StringView("template")},
    CommandShape{QLatin1StringView("play"), 1, 1, QLatin1StringView()},
    CommandShape{QLatin1StringView("audition"), 1, 1, QLatin1StringView("channel")},
    CommandShape{QLatin1StringView("programs"), 0, 0, QLatin1StringView("json bank all")},
};

const CommandShape* FindCommand(const QString& name)
{
    for (const CommandShape& shape : kCommands) {
        if (name == shape.name)
            return &shape;
    }
    return nullptr;
}

// A whole decimal number from 0 to max.
bool ToNumber(const QString& text, long max, long& value)
{
    bool ok = false;
    value = text.toLong(&ok);
    return ok && value >= 0 && value <= max;
}

// "BANK:PROGRAM", a bank (variation) number up to 128, which names the drum kits, and a
// MIDI program.
bool ParseBankProgram(const QString& text, long& bank, long& program)
{
    const QStringList parts = text.split(u':');
    return parts.size() == 2 && ToNumber(parts[0], CSoundFontBanks::kDrumKitBank, bank) &&
           ToNumber(parts[1], AuditionRequest::kMaxProgram, program);
}

uint16_t BankId(const QString& text)
{
    long id = 0;
    ToNumber(text, kMaxBankId, id);
    return static_cast<uint16_t>(id);
}

// The files a file manager hands over: presets, and the banks of either card.
bool IsOpenableFile(const QString& argument)
{
    return CFileKind::Of(argument) != CFileKind::Other;
}

// A negative number is an argument (a priority out of range), never an option: no option
// starts with a digit, but the parser would take "-1" for the unknown option "1". It sees
// such an argument behind a mark that no argument of a real command line can carry (a NUL),
// and Unmarked gives it back as it was.
const QChar kArgumentMark(u'\0');

QStringList MarkNegativeNumbers(QStringList arguments)
{
    static const QRegularExpression negativeNumber(QStringLiteral("^-[0-9]"));
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (negativeNumber.match(arguments[i]).hasMatch())
            arguments[i].prepend(kArgumentMark);
    }
    return arguments;
}

QString Unmarked(QString argument)
{
    return argument.startsWith(kArgumentMark) ? argument.mid(1) : argument;
}

} // namespace

// File names are the file system's bytes, which need not be text in the locale's encoding:
// they are kept whole, as the window keeps them.
QStringList CCommandLine::FromArgv(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << CNativePath::Decode(argv[i]);
    return arguments;
}

CCommandLine::CCommandLine(const QStringList& arguments)
{
    if (arguments.size() <= 1)
        return;
    QCommandLineParser parser;
    const QList<QCommandLineOption> options = {
        QCommandLineOption(QStringList{"h", "help"}),
        QCommandLineOption(QStringList{"v", "version"}),
        QCommandLineOption("json"),
        QCommandLineOption("all"),
        QCommandLineOption("template", QString(), "file"),
        QCommandLineOption("synth", QString(), "card"),
        QCommandLineOption("channel", QString(), "N"),
        QCommandLineOption("bank", QString(), "id"),
    };
    parser.addOptions(options);
    m_mode = Mode::Command;
    if (!parser.parse(MarkNegativeNumbers(arguments))) {
        m_strError = parser.errorText();
        return;
    }
    for (const QCommandLineOption& option : options) {
        if (parser.isSet(option))
            m_options << option.names().constLast();
    }
    m_strTemplate = Unmarked(parser.value("template"));
    m_strSynth = Unmarked(parser.value("synth"));
    m_strChannel = Unmarked(parser.value("channel"));
    m_strBank = Unmarked(parser.value("bank"));
    if (m_options.removeAll("synth") > 0 && !CCardChoice::IsCardForThisRun(m_strSynth)) {
        m_strError = QStringLiteral("no card named %1: --synth takes simulated, fluidsynth, or "
                                    "the path of a card library")
                         .arg(m_strSynth);
        return;
    }
    QStringList positional;
    for (const QString& argument : parser.positionalArguments())
        positional << Unmarked(argument);
    if (positional.isEmpty() && m_options.isEmpty()) {
        m_mode = Mode::Window;
        return;
    }
    if (positional.size() == 1 && m_options.isEmpty() && !FindCommand(positional[0]) &&
        IsOpenableFile(positional[0])) {
        m_mode = Mode::OpenFile;
        m_strFile = CNativePath::Absolute(positional[0]);
        return;
    }
    m_strCommand = positional.value(0);
    m_arguments = positional.mid(1);
}

int CCommandLine::UsageError(QTextStream& err, const QString& problem, const QString& command)
{
    const bool known = !CCommandHelp::ForCommand(command).isEmpty();
    err << kProgram << ": " << problem << '\n'
        << "Try '" << kProgram << (known ? " help " + command : QStringLiteral(" --help"))
        << "' for more information.\n";
    return CCardCommands::ExitUsage;
}

// What was written to out must reach it: output lost to a full disk is a failure, as it is
// for the shell's own tools.
int CCommandLine::EndOutput(QTextStream& out, QTextStream& err, int status)
{
    out.flush();
    if (out.status() == QTextStream::Ok)
        return status;
    const QString reason = out.device() ? out.device()->errorString() : QString();
    err << kProgram << ": the output could not be written: " << reason << '\n';
    return CCardCommands::ExitFile;
}

// "korvane help load" and "korvane load --help" alike print the command's usage.
int CCommandLine::ShowHelp(QTextStream& out, QTextStream& err) const
{
    const bool helpCommand = m_strCommand == u"help";
    if (helpCommand && m_arguments.size() > 1)
        return UsageError(err, QStringLiteral("help takes one command"), m_strCommand);
    // "help --help" is help's own usage.
    const QString command =
        helpCommand && !m_options.contains("help") ? m_arguments.value(0) : m_strCommand;
    const QString usage =
        command.isEmpty() ? CCommandHelp::Summary() : CCommandHelp::ForCommand(command);
    if (usage.isEmpty())
        return UsageError(err, QStringLiteral("unknown command: ") + command);
    out << usage;
    return CCardCommands::ExitOk;
}

int CCommandLine::Run(QTextStream& out, QTextStream& err) const
{
    if (!m_strError.isEmpty())
        return UsageError(err, m_strError);
    if (m_options.contains("help") || m_strCommand == u"help")
        return EndOutput(out, err, ShowHelp(out, err));
    if (m_options.contains("version")) {
        out << kProgram << ' ' << KORVANE_VERSION << '\n';
        return EndOutput(out, err, CCardCommands::ExitOk);
    }
    if (const QString problem = CheckShape(); !problem.isEmpty())
        return UsageError(err, problem, m_strCommand);
    CConsoleMessageBox messages(err, kProgram);
    CSharedSynthLibrary library;
    if (!CCardChoice().OpenLibrary(library, CExecutableDir::Path(), m_strSynth)) {
        err << kProgram << ": no synthesizer library: " << library.ErrorString() << '\n';
        return CCardCommands::ExitCard;
    }
    CBankTable bankTable(library);
    if (!bankTable.Init(nullptr))
        return CCardCommands::ExitCard;
    const CBankPathMemory pathMemory(CBankPathMemory::FileForCard(m_strSynth));
    pathMemory.Restore(bankTable);
    CCardCommands commands(bankTable, out, messages);
    const int status = EndOutput(out, err, Dispatch(commands));
    commands.SayWhatChanged(status);
    // Another run may have remembered a file meanwhile: kept, not overwritten.
    pathMemory.Restore(bankTable);
    pathMemory.Save(bankTable);
    return status;
}

int CCommandLine::Channel() const
{
    return m_strChannel.isEmpty() ? AuditionRequest::kDefaultChannel : m_strChannel.toInt();
}

int CCommandLine::Dispatch(CCardCommands& commands) const
{
    const QStringList& args = m_arguments;
    if (m_strCommand == u"status")
        return commands.Status(m_options.contains("json"));
    if (m_strCommand == u"load")
        return commands.Load(args);
    if (m_strCommand == u"unload") {
        if (m_options.contains("all"))
            return commands.UnloadAll();
        QList<uint16_t> ids;
        for (const QString& id : args)
            ids << BankId(id);
        return commands.Unload(ids);
    }
    if (m_strCommand == u"priority")
        return commands.Priority(BankId(args[0]), static_cast<int32_t>(args[1].toLong()));
    if (m_strCommand == u"preset") {
        if (args[0] == u"save")
            return commands.SavePreset(args[1]);
        return commands.LoadPreset(args[1], CTerminalLoadProgress::ForStandardError());
    }
    if (m_strCommand == u"programs") {
        return commands.Programs(m_options.contains("json"),
                                 m_options.contains("bank") ? BankId(m_strBank) : -1,
                                 m_options.contains("all"));
    }
    if (m_strCommand == u"play") {
        CSequencerFluidSynth sequencer;
        return commands.Play(args[0], sequencer);
    }
    if (m_strCommand == u"audition") {
        long bank = 0;
        long program = 0;
        ParseBankProgram(args[0], bank, program);
        const CCardChoice choice;
        return commands.Audition(
            static_cast<int>(bank), static_cast<int>(program), Channel(),
            CAudition::OutputFor(choice.LibraryPath(CExecutableDir::Path(), m_strSynth),
                                 choice.AddressInUse()));
    }
    return commands.Report(args[0], m_strTemplate);
}

QString CCommandLine::CheckShape() const
{
    const CommandShape* shape = FindCommand(m_strCommand);
    if (m_strCommand.isEmpty())
        return QStringLiteral("no command given");
    if (!shape)
        return QStringLiteral("unknown command: ") + m_strCommand;
    for (const QString& option : m_options) {
        if (!QString(shape->option).split(u' ').contains(option))
            return QStringLiteral("--%1 does not go with %2").arg(option, m_strCommand);
    }
    const qsizetype count = m_arguments.size();
    if (count < shape->minArguments || (shape->maxArguments != kAny && count > shape->maxArguments))
        return QStringLiteral("wrong number of arguments for ") + m_strCommand;
    long number = 0;
    if (m_strCommand == u"unload") {
        if (m_options.contains("all") == !m_arguments.isEmpty())
            return QStringLiteral("unload takes bank IDs or --all");
        for (const QString& id : m_arguments) {
            if (!ToNumber(id, kMaxBankId, number))
                return QStringLiteral("not a bank ID: ") + id;
        }
    }
    if (m_strCommand == u"priority") {
        if (!ToNumber(m_arguments[0], kMaxBankId, number))
            return QStringLiteral("not a bank ID: ") + m_arguments[0];
        if (!ToNumber(m_arguments[1], MAX_PRIORITY, number))
            return QStringLiteral("the priority must be a number from 0 to %1: %2")
                .arg(QString::number(MAX_PRIORITY), m_arguments[1]);
    }
    if (m_strCommand == u"audition") {
        long bank = 0;
        if (!ParseBankProgram(m_arguments[0], bank, number))
            return QStringLiteral("not a bank:program (bank 0 to %1, program 0 to %2): %3")
                .arg(QString::number(CSoundFontBanks::kDrumKitBank),
                     QString::number(AuditionRequest::kMaxProgram), m_arguments[0]);
        if (!m_strChannel.isEmpty() &&
            (!ToNumber(m_strChannel, AuditionRequest::kChannels, number) || number < 1))
            return QStringLiteral("the channel must be a number from 1 to %1: %2")
                .arg(QString::number(AuditionRequest::kChannels), m_strChannel);
    }
    if (m_options.contains("bank") && !ToNumber(m_strBank, kMaxBankId, number))
        return QStringLiteral("not a bank ID: ") + m_strBank;
    if (m_strCommand == u"preset" && m_arguments[0] != u"load" && m_arguments[0] != u"save")
        return QStringLiteral("preset takes load or save: ") + m_arguments[0];
    return QString();
}
