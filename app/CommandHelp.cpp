#include "CommandHelp.h"

#include <QList>

#include <utility>

namespace {

// A usage or an option on the left, what it does on the right.
using Row = std::pair<QString, QString>;

struct CommandText
{
    QString name;
    // Each form of the command, after the program's name, with its one-line summary.
    QList<Row> forms;
    // What the command does, wrapped to fit 80 columns.
    QString description;
    QList<Row> options;
    // Whether it works on a card, and so takes --synth.
    bool onCard = true;
};

const QString kProgram = QStringLiteral("korvane");
const Row kSynthOption{QStringLiteral("--synth CARD"),
                       QStringLiteral("the card for this run: simulated, fluidsynth,\n"
                                      "or the path of a card library (default: the card\n"
                                      "chosen in Options)")};
constexpr qsizetype kLeftColumn = 27;

const QList<CommandText>& Table()
{
    static const QList<CommandText> commands = {
        {QStringLiteral("status"),
         {{QStringLiteral("status [--json]"),
           QStringLiteral("memory figures and the banks in the card")}},
         QStringLiteral(
             "Prints the total, used and free memory and the banks in the card: ID, name,\n"
             "priority, size and the bank's file when known."),
         {{QStringLiteral("--json"),
           QStringLiteral("the same as a JSON object, memory in bytes")}}},
        {QStringLiteral("load"),
         {{QStringLiteral("load FILE..."),
           QStringLiteral("load bank files; prints each new bank's ID")}},
         QStringLiteral(
             "Loads the bank files (.94b, or SoundFonts: .sf2, .sf3) in order and prints\n"
             "the ID of each new bank. Stops at the first bank that cannot be loaded."),
         {}},
        {QStringLiteral("unload"),
         {{QStringLiteral("unload ID... | --all"),
           QStringLiteral("unload banks by ID, or every bank")}},
         QStringLiteral("Unloads the banks with these IDs, in order, or every bank."),
         {{QStringLiteral("--all"), QStringLiteral("unload every bank")}}},
        {QStringLiteral("priority"),
         {{QStringLiteral("priority ID VALUE"),
           QStringLiteral("set a bank's priority (0 to 127)")}},
         QStringLiteral("Sets the priority of the bank with this ID to VALUE, from 0 to 127."),
         {}},
        {QStringLiteral("preset"),
         {{QStringLiteral("preset load FILE.pre"),
           QStringLiteral("empty the card and load the preset's banks")},
          {QStringLiteral("preset save FILE.pre"),
           QStringLiteral("write the banks in the card to a preset file")}},
         QStringLiteral(
             "preset load empties the card and loads the preset's banks with their\n"
             "priorities; a bank that cannot be loaded is reported and skipped. On a\n"
             "terminal a one-line progress is shown on standard error.\n"
             "preset save writes the banks in the card with their priorities and files."),
         {}},
        {QStringLiteral("report"),
         {{QStringLiteral("report [--template FILE] OUT.htm"),
           QStringLiteral("write the MIDI mapping report of the banks")}},
         QStringLiteral(
             "Writes the MIDI mapping report of the banks in the card to OUT.htm, or to\n"
             "standard output when OUT.htm is -: every instrument and drum kit with its\n"
             "MIDI program and variation."),
         {{QStringLiteral("--template FILE"),
           QStringLiteral("the report's template (default: krv.mas beside\nthe program)")}}},
        {QStringLiteral("programs"),
         {{QStringLiteral("programs [--json] [--bank ID] [--all]"),
           QStringLiteral("the instruments and drum kits of the banks")}},
         QStringLiteral(
             "Prints every instrument and drum kit of the banks in the card, one a line:\n"
             "its bank, kind, variation and MIDI program, Cubase bank and program, name,\n"
             "and the bank that answers that variation and program. Of the banks that hold\n"
             "one, the bank the card searches first answers; the others are hidden."),
         {{QStringLiteral("--json"), QStringLiteral("the same as a JSON array")},
          {QStringLiteral("--bank ID"),
           QStringLiteral("only the programs of the bank with\nthis ID")},
          {QStringLiteral("--all"),
           QStringLiteral("the hidden programs too, marked\n\"hidden by\"")}}},
        {QStringLiteral("play"),
         {{QStringLiteral("play FILE.mid"),
           QStringLiteral("play a MIDI file to its end (Ctrl+C stops)")}},
         QStringLiteral("Plays the MIDI file to its end through FluidSynth. Ctrl+C stops it; the\n"
                        "exit status is then 130."),
         {},
         false},
        {QStringLiteral("audition"),
         {{QStringLiteral("audition BANK:PROGRAM"),
           QStringLiteral("play a short phrase of a program (Ctrl+C stops)")}},
         QStringLiteral(
             "Plays a chord and a scale (a few kit notes for a drum kit) of BANK:PROGRAM\n"
             "from the bank in the card that answers it: the highest priority that holds\n"
             "it. Bank 128 names the drum kits. On the FluidSynth server card the server\n"
             "plays it on one channel and gives the channel its program back; on the\n"
             "simulated card FluidSynth plays it with the card's SoundFonts, and a bank\n"
             "file's program with the General MIDI SoundFont's of the same number."),
         {{QStringLiteral("--channel N"),
           QStringLiteral("the MIDI channel to play on, 1 to 16 (default 16)")}}},
        {QStringLiteral("help"),
         {{QStringLiteral("help [COMMAND]"),
           QStringLiteral("this text, or a command's own usage")}},
         QStringLiteral("Prints the summary of every command, or the usage of one."),
         {},
         false},
    };
    return commands;
}

// The left part padded to its column, or on a line of its own when it is too wide; the
// right part's further lines in the same column.
QString Format(const Row& row)
{
    const QString indent(kLeftColumn + 2, u' ');
    QString text = QStringLiteral("  ") + row.first;
    text += row.first.size() < kLeftColumn ? QString(kLeftColumn - row.first.size(), u' ')
                                           : u'\n' + indent;
    text += QString(row.second).replace(u'\n', u'\n' + indent);
    return text + u'\n';
}

QString UsagePrefix(const CommandText& command)
{
    return kProgram + (command.onCard ? QStringLiteral(" [--synth CARD] ") : QStringLiteral(" "));
}

} // namespace

QString CCommandHelp::Summary()
{
    QString text = QStringLiteral("Usage: korvane [--synth CARD] [FILE]\n"
                                  "       korvane [--synth CARD] COMMAND [ARGUMENTS]\n"
                                  "\n"
                                  "Without a command the window starts; a preset (.pre) or bank "
                                  "(.94b, .sf2, .sf3)\n"
                                  "file is then opened in it. A command runs on the card without "
                                  "a window:\n\n");
    for (const CommandText& command : Table()) {
        for (const Row& form : command.forms)
            text += Format(form);
    }
    text += QStringLiteral("\nOptions:\n");
    text += Format(kSynthOption);
    text += Format({QStringLiteral("-h, --help"),
                    QStringLiteral("show this help; after a command, that command's")});
    text += Format({QStringLiteral("-v, --version"), QStringLiteral("show the version")});
    return text + QStringLiteral("\n"
                                 "Exit status: 0 success, 2 wrong usage, 3 the card refused or "
                                 "failed,\n"
                                 "4 a file could not be read or written, 130 play or audition was "
                                 "stopped with Ctrl+C.\n");
}

QString CCommandHelp::ForCommand(const QString& name)
{
    for (const CommandText& command : Table()) {
        if (command.name != name)
            continue;
        QString text;
        for (const Row& form : command.forms) {
            text += (text.isEmpty() ? QStringLiteral("Usage: ") : QStringLiteral("       ")) +
                    UsagePrefix(command) + form.first + u'\n';
        }
        text += u'\n' + command.description + u'\n';
        QList<Row> options = command.options;
        if (command.onCard)
            options << kSynthOption;
        if (!options.isEmpty())
            text += QStringLiteral("\nOptions:\n");
        for (const Row& option : options)
            text += Format(option);
        return text;
    }
    return QString();
}

QStringList CCommandHelp::Commands()
{
    QStringList names;
    for (const CommandText& command : Table())
        names << command.name;
    return names;
}
