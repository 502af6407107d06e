// The command line as a script uses it: the program run as a process on a card kept in a
// temporary directory, its output, its messages and its exit status; and the parts that
// run inside the program (the choice between window and command, the file handed to the
// window, playing to the end or to Ctrl+C, the terminal's progress line).
#include "CommandLine.h"
#include "BankFileWriter.h"
#include "BankTable.h"
#include "CardChoice.h"
#include "CardCommands.h"
#include "ConsoleMessageBox.h"
#include "FakeSequencer.h"
#include "MidiFileMaker.h"
#include "ProgramRun.h"
#include "PumpedAudioOutput.h"
#include "SequencerFluidSynth.h"
#include "SharedSynthLibrary.h"
#include "SoundFontWriter.h"
#include "TerminalLoadProgress.h"
#include "WindowTestBed.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Result = CProgramRun;

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void scriptedSessionKeepsFilesBetweenRuns();
    void presetSavedAndLoadedBack();
    void failuresExitWithTheirKind_data();
    void failuresExitWithTheirKind();
    void helpAndVersionLeaveAFullCardFull();
    void argumentsChooseWindowFileOrCommand_data();
    void argumentsChooseWindowFileOrCommand();
    void cardChoiceNamesItsLibrary();
    void fileHandedToTheWindowIsOpened();
    void windowAndCommandsShareTheBankFiles();
    void bankFilesRememberedBeforeEachCardKeptItsOwnAreKnown();
    void commandsThatChangeNoBankFileWriteNone();
    void firstWindowAfterACommandLineLoadKeepsTheCard();
    void loadListFailingHalfWaySaysWhatItLoaded();
    void lostOutputIsAFailure_data();
    void lostOutputIsAFailure();
    void outputFilesAreWrittenThroughLinksAndNeverReplaceOtherFiles();
    void fileNamesAreBytes();
    void playRunsToTheEndOrToAnInterrupt();
    void playSoundsWithTheCardsSoundFonts();
    void terminalProgressIsOneLine();
    void programsListTheAnsweringBankAndTheHiddenOnlyWhenAsked();

private:
    // Runs the program without a display: a command that opened a window would fail.
    // Its output goes to outputFile when one is given.
    Result Run(const QStringList& arguments, const QString& outputFile = QString());
    // Runs the program through the shell, for arguments that are not text.
    Result RunShell(const QString& script);
    Result RunProgram(const QString& program, const QStringList& arguments,
                      const QString& outputFile);
    QString MakeBank(const QString& name);
    void FillCard(int banks);
    QJsonObject Status();

    std::unique_ptr<CWindowTestBed> m_bed;
};

void CommandLineTest::init()
{
    m_bed = std::make_unique<CWindowTestBed>();
    QVERIFY2(m_bed->Problem().isEmpty(), qPrintable(m_bed->Problem()));
}

void CommandLineTest::cleanup()
{
    m_bed.reset();
}

Result CommandLineTest::Run(const QStringList& arguments, const QString& outputFile)
{
    return RunProgram(QStringLiteral(KORVANE_PROGRAM), arguments, outputFile);
}

// The script finds the program as "$0".
Result CommandLineTest::RunShell(const QString& script)
{
    return RunProgram(QStringLiteral("/bin/sh"), {"-c", script, QStringLiteral(KORVANE_PROGRAM)},
                      QString());
}

Result CommandLineTest::RunProgram(const QString& program, const QStringList& arguments,
                                   const QString& outputFile)
{
    return CProgramRun::Run(program, arguments, m_bed->Path(QString()), outputFile);
}

QString CommandLineTest::MakeBank(const QString& name)
{
    CBankFileWriter writer(name.toStdString());
    writer.AddInstrument(3, 0);
    writer.SetSize(10000);
    const QString path = m_bed->Path(name + ".94b");
    writer.Write(path.toStdString());
    return path;
}

void CommandLineTest::FillCard(int banks)
{
    if (banks == 0)
        return;
    QStringList files;
    for (int i = 0; i < banks; ++i)
        files << MakeBank(QStringLiteral("BANK%1").arg(i));
    QCOMPARE(Run(QStringList{"load"} + files).status, 0);
}

QJsonObject CommandLineTest::Status()
{
    const Result status = Run({"status", "--json"});
    return status.status == 0 ? QJsonDocument::fromJson(status.out.toUtf8()).object()
                              : QJsonObject();
}

// The user's script: each step a run of its own, the report still naming the files.
void CommandLineTest::scriptedSessionKeepsFilesBetweenRuns()
{
    MakeBank("PIANO");
    MakeBank("DRUMS");
    const Result load = Run({"load", "PIANO.94b", "DRUMS.94b"});
    QCOMPARE(load.status, 0);
    QCOMPARE(load.out, QStringLiteral("0\n1\n"));
    QCOMPARE(Run({"priority", "1", "90"}).status, 0);
    QCOMPARE(Run({"report", "out.htm"}).status, 0);

    QFile report(m_bed->Path("out.htm"));
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(report.readAll());
    QVERIFY(html.contains("PIANO") && html.contains("DRUMS"));
    QVERIFY2(html.contains("<td>DRUMS.94b</td>"), "the report lacks the bank's file");

    const QJsonObject status = Status();
    const QJsonArray banks = status["banks"].toArray();
    QCOMPARE(banks.size(), 2);
    QCOMPARE(banks[1]["name"].toString(), QStringLiteral("DRUMS"));
    QCOMPARE(banks[1]["priority"].toInt(), 90);
    QCOMPARE(banks[1]["size"].toInt(), 10000);
    QCOMPARE(banks[0]["path"].toString(), m_bed->Path("PIANO.94b"));
    QCOMPARE(status["usedMemory"].toInt(), 20000);
    QCOMPARE(status["usedMemory"].toInt() + status["freeMemory"].toInt(),
             status["totalMemory"].toInt());

    const Result text = Run({"status"});
    QVERIFY2(text.out.contains("Total used memory:       19.5 Ko"), qPrintable(text.out));
    QVERIFY2(text.out.contains(QRegularExpression("1 +DRUMS +90 +9\\.8 Ko")), qPrintable(text.out));
}

void CommandLineTest::presetSavedAndLoadedBack()
{
    FillCard(3);
    QCOMPARE(Run({"priority", "2", "7"}).status, 0);
    QCOMPARE(Run({"preset", "save", "set.pre"}).status, 0);
    const QJsonObject before = Status();
    QCOMPARE(Run({"unload", "--all"}).status, 0);
    QCOMPARE(Status()["banks"].toArray().size(), 0);

    const Result load = Run({"preset", "load", "set.pre"});
    QCOMPARE(load.status, 0);
    QVERIFY2(load.out.isEmpty(), "progress written to a pipe");
    QCOMPARE(Status(), before);

    // A bank file gone since: the preset is refused before any bank is unloaded, the file
    // is named and the status tells.
    QVERIFY(QFile::remove(m_bed->Path("BANK1.94b")));
    const Result refused = Run({"preset", "load", "set.pre"});
    QCOMPARE(refused.status, 4);
    QVERIFY2(refused.err.contains("Unable to load bank:" + m_bed->Path("BANK1.94b")),
             qPrintable(refused.err));
    QVERIFY2(!refused.err.contains("the card was changed"), qPrintable(refused.err));
    QCOMPARE(Status(), before);
}

// A load list that fails half way says on stderr which of its banks are in the card.
void CommandLineTest::loadListFailingHalfWaySaysWhatItLoaded()
{
    FillCard(1);
    MakeBank("EXTRA");
    const Result result = Run({"load", "EXTRA.94b", "none.94b", "BANK0.94b"});
    QCOMPARE(result.status, 4);
    QCOMPARE(result.out, QStringLiteral("1\n"));
    QCOMPARE(result.err, QStringLiteral("korvane: none.94b: Synth Error: SYNTHERR_FILENOTFOUND\n"
                                        "korvane: the card was changed: loaded bank 1 (EXTRA)\n"));
    QCOMPARE(Status()["banks"].toArray().size(), 2);
}

// Output lost to a full disk is a failure, and the IDs of the banks a load put in the card
// are said where they can still be read.
void CommandLineTest::lostOutputIsAFailure_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("status") << QStringList{"status"};
    QTest::newRow("status as JSON") << QStringList{"status", "--json"};
    QTest::newRow("help") << QStringList{"--help"};
    QTest::newRow("version") << QStringList{"--version"};
    QTest::newRow("load") << QStringList{"load", "LOST.94b"};
}

void CommandLineTest::lostOutputIsAFailure()
{
    QFETCH(QStringList, arguments);
    MakeBank("LOST");
    const Result result = Run(arguments, QStringLiteral("/dev/full"));
    QCOMPARE(result.status, 4);
    QVERIFY2(result.err.startsWith("korvane: the output could not be written: No space left"),
             qPrintable(result.err));
    if (arguments[0] == u"load")
        QVERIFY2(result.err.endsWith("the card was changed: loaded bank 0 (LOST)\n"),
                 qPrintable(result.err));
}

// A link is written through to its target and stays a link; a FIFO, a directory and a loop
// of links are refused and left as they are.
void CommandLineTest::outputFilesAreWrittenThroughLinksAndNeverReplaceOtherFiles()
{
    FillCard(1);
    QVERIFY(QDir(m_bed->Path(QString())).mkdir("dir.pre"));
    for (const char* name : {"real.pre", "real.htm"}) {
        QFile real(m_bed->Path(name));
        QVERIFY(real.open(QIODevice::WriteOnly) && real.write("old") == 3);
    }
    QVERIFY(QFile::link("real.pre", m_bed->Path("link.pre")));
    QVERIFY(QFile::link("real.htm", m_bed->Path("link.htm")));
    QVERIFY(QFile::link("loop.pre", m_bed->Path("loop.pre")));
    for (const char* fifo : {"fifo.pre", "fifo.htm"})
        QCOMPARE(::mkfifo(QFile::encodeName(m_bed->Path(fifo)).constData(), 0600), 0);

    QCOMPARE(Run({"preset", "save", "direct.pre"}).status, 0);
    QCOMPARE(Run({"preset", "save", "link.pre"}).status, 0);
    QCOMPARE(Run({"report", "link.htm"}).status, 0);
    QVERIFY(QFileInfo(m_bed->Path("link.pre")).isSymLink());
    QVERIFY(QFileInfo(m_bed->Path("link.htm")).isSymLink());
    QFile real(m_bed->Path("real.pre")), direct(m_bed->Path("direct.pre"));
    QVERIFY(real.open(QIODevice::ReadOnly) && direct.open(QIODevice::ReadOnly));
    QCOMPARE(real.readAll(), direct.readAll());
    QVERIFY(QFileInfo(m_bed->Path("real.htm")).size() > 3);

    const QList<QStringList> refused = {{"preset", "save", "fifo.pre"},
                                        {"report", "fifo.htm"},
                                        {"preset", "save", "dir.pre"},
                                        {"preset", "save", "loop.pre"}};
    for (const QStringList& arguments : refused) {
        const Result result = Run(arguments);
        QVERIFY2(result.status == 4, qPrintable(arguments.join(' ')));
        QVERIFY2(result.err.contains("Not a regular file") ||
                     result.err.contains("Too many levels of symbolic links"),
                 qPrintable(result.err));
    }
    for (const char* fifo : {"fifo.pre", "fifo.htm"}) {
        struct stat info
        {
        };
        QVERIFY(::lstat(QFile::encodeName(m_bed->Path(fifo)).constData(), &info) == 0 &&
                S_ISFIFO(info.st_mode));
    }
    QVERIFY(QFileInfo(m_bed->Path("dir.pre")).isDir());
    QVERIFY(QFileInfo(m_bed->Path("loop.pre")).isSymLink());
}

// A file name that is not UTF-8 reaches the card byte for byte, as from the window.
void CommandLineTest::fileNamesAreBytes()
{
    CBankFileWriter writer("CAFE");
    writer.AddInstrument(3, 0);
    const std::string file = m_bed->Path(QString()).toStdString() + "/caf\xe9.94b";
    writer.Write(file);
    const Result load = RunShell(QStringLiteral("exec \"$0\" load \"$(printf 'caf\\351.94b')\""));
    // Qt's removal of the temporary directory would not find the file by its name.
    ::unlink(file.c_str());
    QVERIFY2(load.status == 0, qPrintable(load.err));
    QCOMPARE(Status()["banks"].toArray()[0].toObject()["name"].toString(), QStringLiteral("CAFE"));
}

void CommandLineTest::failuresExitWithTheirKind_data()
{
    QTest::addColumn<int>("banks");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing bank file") << 0 << QStringList{"load", "none.94b"} << 4
                                       << "none.94b: Synth Error: SYNTHERR_FILENOTFOUND";
    QTest::newRow("not a bank") << 0 << QStringList{"load", "notes.94b"} << 4 << "SYNTHERR_INVCOM";
    QTest::newRow("ninth bank") << 8 << QStringList{"load", "BANK0.94b"} << 3
                                << "Max count of banks was reached.";
    QTest::newRow("unknown bank") << 1 << QStringList{"unload", "5"} << 3 << "no bank with ID 5";
    QTest::newRow("unknown bank after a known one")
        << 2 << QStringList{"unload", "1", "7"} << 3 << "no bank with ID 7";
    QTest::newRow("priority of an unknown bank")
        << 1 << QStringList{"priority", "3", "10"} << 3 << "no bank with ID 3";
    QTest::newRow("more banks than the card takes")
        << 7 << QStringList{"load", "BANK0.94b", "BANK1.94b"} << 3
        << "Max count of banks was reached.";
    QTest::newRow("priority too high")
        << 1 << QStringList{"priority", "0", "128"} << 2 << "from 0 to 127";
    QTest::newRow("priority not a number")
        << 1 << QStringList{"priority", "0", "x"} << 2 << "from 0 to 127";
    QTest::newRow("bad bank ID") << 1 << QStringList{"unload", "1x"} << 2 << "not a bank ID: 1x";
    QTest::newRow("IDs and --all")
        << 1 << QStringList{"unload", "--all", "0"} << 2 << "unload takes bank IDs or --all";
    QTest::newRow("programs of an unknown bank")
        << 1 << QStringList{"programs", "--bank", "4"} << 3 << "no bank with ID 4";
    QTest::newRow("programs of a bad bank ID")
        << 1 << QStringList{"programs", "--bank", "x"} << 2 << "not a bank ID: x";
    QTest::newRow("unknown command") << 0 << QStringList{"frob"} << 2 << "unknown command: frob";
    QTest::newRow("unknown option") << 0 << QStringList{"status", "--frob"} << 2 << "frob";
    QTest::newRow("option of another command")
        << 0 << QStringList{"load", "--json", "a.94b"} << 2 << "--json does not go with load";
    QTest::newRow("missing preset")
        << 1 << QStringList{"preset", "load", "none.pre"} << 4 << "Unable to find the preset file.";
    QTest::newRow("preset that is not one") << 1 << QStringList{"preset", "load", "notes.pre"} << 4
                                            << "This file is not a valid preset: ";
    QTest::newRow("zero-filled preset") << 1 << QStringList{"preset", "load", "zeros.pre"} << 4
                                        << "This file is not a valid preset: ";
    QTest::newRow("missing template") << 1 << QStringList{"report", "--template", "no.mas", "o.htm"}
                                      << 4 << "Unable to write the MIDI mapping report: ";
    QTest::newRow("card without library")
        << 0 << QStringList{"--synth", "/nonexistent/card.so", "status"} << 3
        << "no synthesizer library";
    QTest::newRow("missing MIDI file")
        << 0 << QStringList{"play", "none.mid"} << 4 << "Unable to open the MIDI file: none.mid";
    for (const auto& [name, bytes] : CMidiFileMaker::DamagedFiles()) {
        QTest::newRow(qPrintable(name))
            << 0 << QStringList{"play", name} << 4
            << "The MIDI file cannot be played: its tracks are damaged.";
    }
}

// Each failure: its kind in the status, the window's text on stderr, nothing on stdout,
// and the card as it was.
void CommandLineTest::failuresExitWithTheirKind()
{
    QFETCH(int, banks);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    FillCard(banks);
    for (const char* name : {"notes.94b", "notes.pre"}) {
        QFile notes(m_bed->Path(name));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a bank\n") > 0);
    }
    // As "truncate -s 2G" leaves it: an empty preset's first bytes, then more.
    QFile zeros(m_bed->Path("zeros.pre"));
    QVERIFY(zeros.open(QIODevice::WriteOnly) && zeros.resize(qint64{2} << 30));
    zeros.close();
    for (const auto& [name, bytes] : CMidiFileMaker::DamagedFiles()) {
        QFile midi(m_bed->Path(name));
        QVERIFY(midi.open(QIODevice::WriteOnly) && midi.write(bytes) == bytes.size());
    }
    const QJsonObject before = Status();
    const Result result = Run(arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QVERIFY2(!result.err.contains("SYNTHERR_UNREF"), qPrintable(result.err));
    QCOMPARE(result.out, QString());
    QCOMPARE(Status(), before);
}

void CommandLineTest::helpAndVersionLeaveAFullCardFull()
{
    FillCard(8);
    const Result help = Run({"--help"});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains("preset load FILE.pre"));
    const Result version = Run({"--version"});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, QStringLiteral("korvane %1\n").arg(KORVANE_VERSION));
    QCOMPARE(Status()["banks"].toArray().size(), 8);
}

void CommandLineTest::argumentsChooseWindowFileOrCommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("synth");

    using Mode = CCommandLine::Mode;
    QTest::newRow("nothing") << QStringList{} << int(Mode::Window) << "";
    QTest::newRow("card only") << QStringList{"--synth", "fluidsynth"} << int(Mode::Window)
                               << "fluidsynth";
    QTest::newRow("preset") << QStringList{"Live.PRE"} << int(Mode::OpenFile) << "";
    QTest::newRow("bank on a card")
        << QStringList{"--synth", "simulated", "a.94b"} << int(Mode::OpenFile) << "simulated";
    QTest::newRow("SoundFont") << QStringList{"piano.sf2"} << int(Mode::OpenFile) << "";
    QTest::newRow("command") << QStringList{"status"} << int(Mode::Command) << "";
    QTest::newRow("other file") << QStringList{"song.mid"} << int(Mode::Command) << "";
    QTest::newRow("file with option") << QStringList{"--json", "a.94b"} << int(Mode::Command) << "";
    QTest::newRow("help") << QStringList{"-h"} << int(Mode::Command) << "";
    QTest::newRow("bad option") << QStringList{"--frob"} << int(Mode::Command) << "";
}

void CommandLineTest::argumentsChooseWindowFileOrCommand()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, mode);
    QFETCH(QString, synth);
    const CCommandLine commandLine(QStringList{"korvane"} + arguments);
    QCOMPARE(int(commandLine.GetMode()), mode);
    QCOMPARE(commandLine.SynthChoice(), synth);
    if (commandLine.GetMode() == CCommandLine::Mode::OpenFile)
        QCOMPARE(commandLine.FileToOpen(), QDir::current().absoluteFilePath(arguments.last()));
}

void CommandLineTest::cardChoiceNamesItsLibrary()
{
    const QByteArray configured = qgetenv("KORVANE_SYNTH_LIBRARY");
    qunsetenv("KORVANE_SYNTH_LIBRARY");
    const QTemporaryDir dir;
    const QString settings = dir.filePath("korvane.conf");
    QCOMPARE(CCardChoice(settings).LibraryPath("/opt/k"), QStringLiteral("/opt/k/libsynth32.so"));
    QCOMPARE(CCardChoice(settings).LibraryPath("/opt/k", "fluidsynth"),
             QStringLiteral("/opt/k/libsynth32-fluidsynth.so"));
    QCOMPARE(CCardChoice(settings).LibraryPath("/opt/k", "/x/card.so"),
             QStringLiteral("/x/card.so"));
    qputenv("KORVANE_SYNTH_LIBRARY", "/y/other.so");
    QCOMPARE(CCardChoice(settings).LibraryPath("/opt/k", "fluidsynth"),
             QStringLiteral("/y/other.so"));
    qputenv("KORVANE_SYNTH_LIBRARY", configured);
}

void CommandLineTest::fileHandedToTheWindowIsOpened()
{
    const QString preset = m_bed->MakePreset("Live.pre", {"ONE", "TWO"});
    const QString bank = MakeBank("THREE");
    auto window = m_bed->StartWindow();
    window->OpenFile(preset);
    QCOMPARE(window->BankTable().Status().bankCount, 2u);
    QVERIFY2(window->windowTitle().endsWith("[Live.pre]"), qPrintable(window->windowTitle()));
    window->OpenFile(bank);
    QCOMPARE(window->BankTable().Status().bankCount, 3u);
    QCOMPARE(window->BankTable().GetBankName(2), QStringLiteral("THREE"));
    QVERIFY(m_bed->Messages().Calls().empty());
}

// The user's first window after a script: the card as the script left it.
void CommandLineTest::firstWindowAfterACommandLineLoadKeepsTheCard()
{
    FillCard(2);
    QCOMPARE(Run({"priority", "1", "90"}).status, 0);
    const QJsonObject before = Status();
    QVERIFY(!QFile::exists(COptions::ProgramFile()));
    auto window = m_bed->StartWindow();
    QCOMPARE(window->BankTable().Status().bankCount, 2u);
    window->OnQuit();
    QVERIFY2(QFile::exists(COptions::ProgramFile()), "a first run writes the options at exit");
    window.reset();
    QCOMPARE(Status(), before);
}

void CommandLineTest::windowAndCommandsShareTheBankFiles()
{
    const QString first = MakeBank("FIRST");
    QCOMPARE(Run({"load", first}).status, 0);
    auto window = m_bed->StartWindow();
    QCOMPARE(window->BankTable().GetBankPath(0), first);
    const QString second = MakeBank("SECOND");
    window->OpenFile(second);
    QCOMPARE(Status()["banks"].toArray()[1].toObject()["path"].toString(), second);
}

// An upgrade from the file both cards shared: the banks already in the card keep their files.
void CommandLineTest::bankFilesRememberedBeforeEachCardKeptItsOwnAreKnown()
{
    const QString bank = MakeBank("KEPT");
    QCOMPARE(Run({"load", bank}).status, 0);
    QVERIFY(QFile::rename(m_bed->Path("card.state.paths"), m_bed->Path("bank-paths")));
    QCOMPARE(Status()["banks"].toArray()[0].toObject()["path"].toString(), bank);
}

// The remembered files are written only when they change: a command that changes no bank's
// file leaves the file as it was (written anew, it would be another inode).
void CommandLineTest::commandsThatChangeNoBankFileWriteNone()
{
    QCOMPARE(Run({"load", MakeBank("KEPT")}).status, 0);
    const QByteArray memory = QFile::encodeName(m_bed->Path("card.state.paths"));
    struct stat before = {};
    QCOMPARE(::stat(memory.constData(), &before), 0);
    QCOMPARE(Run({"status"}).status, 0);
    QCOMPARE(Run({"priority", "0", "50"}).status, 0);
    struct stat after = {};
    QCOMPARE(::stat(memory.constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
}

void CommandLineTest::playRunsToTheEndOrToAnInterrupt()
{
    const QString song = m_bed->Path("song.mid");
    QFile file(song);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    CFakeSequencer sequencer;
    CBankTable table(m_bed->Library());
    QVERIFY(table.Init(nullptr));
    QString text;
    QTextStream out(&text);
    CConsoleMessageBox messages(out, QStringLiteral("korvane"));
    CCardCommands commands(table, out, messages);
    QTimer::singleShot(50, [&sequencer] { sequencer.EndOfFile(1); });
    QCOMPARE(commands.Play(song, sequencer), 0);
    QCOMPARE(sequencer.OpenDevices(), 0);

    QTimer::singleShot(50, [] { std::raise(SIGINT); });
    QCOMPARE(commands.Play(song, sequencer), 130);
    QCOMPARE(sequencer.OpenDevices(), 0);
    QVERIFY(sequencer.PlayingFile().isEmpty());

    // A play that fails after starting is said as the window says it.
    QTimer::singleShot(50, [&sequencer] { sequencer.FailPlay(3); });
    QCOMPARE(commands.Play(song, sequencer), 4);
    out.flush();
    QVERIFY2(text.contains("its tracks are damaged"), qPrintable(text));
}

// The command line plays with the card's SoundFonts as the window does: the higher priority
// on top, whatever order they were loaded in. Rendered offline, it sounds sample for sample
// as the sequencer does with that order, and not as with the other.
void CommandLineTest::playSoundsWithTheCardsSoundFonts()
{
    QStringList fonts;
    for (const double tone : {440.0, 660.0}) {
        CSoundFontWriter font;
        font.AddPreset("Tone", 0, 0, tone);
        fonts << m_bed->Path(QStringLiteral("tone%1.sf2").arg(tone));
        QVERIFY(font.Write(fonts.last().toStdString()));
    }
    CMidiFileMaker tune;
    tune.Note(0, 480, 69);
    const QString song = m_bed->Path(QStringLiteral("tone.mid"));
    QVERIFY(tune.Write(song));

    CBankTable table(m_bed->Library());
    QVERIFY(table.Init(nullptr));
    for (const QString& font : fonts)
        QVERIFY(table.LoadBank(font) < SYNTH_LOAD_ERROR_BASE);
    QCOMPARE(table.SetBankPriority(0, 5), uint16_t{0});
    QString text;
    QTextStream out(&text);
    CConsoleMessageBox messages(out, QStringLiteral("korvane"));
    CCardCommands commands(table, out, messages);
    std::vector<float> played;
    {
        CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                       CPumpedAudioOutput::RecorderFor(played));
        QCOMPARE(commands.Play(song, sequencer), 0);
    }

    const auto render = [&song](const QStringList& highestFirst) {
        std::vector<float> recording;
        CSequencerFluidSynth sequencer(CSequencerFluidSynth::DefaultSoundFont(),
                                       CPumpedAudioOutput::RecorderFor(recording));
        sequencer.UseSoundFonts(highestFirst);
        QObject window;
        unsigned id = 0;
        if (sequencer.Open(song, id) == 0 && sequencer.Play(id, &window) == 0) {
            QTest::qWait(300); // the tone lasts half a second
            sequencer.Close(id);
        }
        return recording;
    };
    // The louder difference, sample by sample, over the shorter of two recordings.
    const auto difference = [](const std::vector<float>& a, const std::vector<float>& b) {
        float most = a.empty() || b.empty() ? 1.0f : 0.0f;
        for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
            most = std::max(most, std::fabs(a[i] - b[i]));
        return most;
    };
    QVERIFY(!played.empty());
    QVERIFY(difference(played, render({fonts[0], fonts[1]})) < 1e-6f);
    QVERIFY(difference(played, render({fonts[1], fonts[0]})) > 0.01f);
}

void CommandLineTest::terminalProgressIsOneLine()
{
    QString text;
    {
        QTextStream stream(&text);
        const auto progress = CTerminalLoadProgress::Factory(
            stream, CTerminalLoadProgress::Erase::WithEscapeCode)(nullptr);
        progress->SetRange(200);
        progress->SetLegend("Bank: /a.94b");
        progress->SetPos(50);
        progress->SetLegend("Bank: /b");
        progress->SetPos(250);
    }
    QVERIFY2(text.endsWith("\r100% Bank: /b\x1b[K\n"), qPrintable(text));
    QVERIFY(text.contains("\r 25% Bank: /a.94b\x1b[K"));
    QCOMPARE(text.count('\n'), 1);
}

// Two banks of the same program: the second is hidden by the first, listed only with --all,
// and marked so; --bank keeps one bank's rows.
void CommandLineTest::programsListTheAnsweringBankAndTheHiddenOnlyWhenAsked()
{
    FillCard(2);
    const Result shown = Run({"programs"});
    QCOMPARE(shown.status, 0);
    QStringList lines = shown.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].contains(QRegularExpression("^Bank +Kind +Variation +MIDI prog ")),
             qPrintable(shown.out));
    QVERIFY2(lines[1].contains(QRegularExpression("^0 BANK0 +Instrument +0 +3 +0 +4 +this bank$")),
             qPrintable(shown.out));
    lines = Run({"programs", "--all", "--bank", "1"}).out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[1].endsWith("hidden by 0 BANK0"), qPrintable(lines[1]));
    QCOMPARE(Run({"programs", "--bank", "1"}).out.count(u'\n'), 1);
    const QJsonArray rows =
        QJsonDocument::fromJson(Run({"programs", "--json", "--all"}).out.toUtf8()).array();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1]["hidden"].toBool(), true);
    QCOMPARE(rows[1]["answeredBy"].toInt(), 0);
    QCOMPARE(rows[1]["cubaseProgram"].toInt(), 4);
}

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
