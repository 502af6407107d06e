// The command line as a script uses it: the program run as a process on a card kept in a
// temporary directory, its output, its messages and its exit status; and the parts that
// run inside the program (the choice between window and command, the file handed to the
// window, playing to the end or to Ctrl+C, the terminal's progress line).
#include "CommandLine.h"
#include "BankFileWriter.h"
#include "CardChoice.h"
#include "CardCommands.h"
#include "FakeSequencer.h"
#include "ProgramRun.h"
#include "SharedSynthLibrary.h"
#include "TerminalLoadProgress.h"
#include "WindowTestBed.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

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
    void playRunsToTheEndOrToAnInterrupt();
    void terminalProgressIsOneLine();

private:
    Result Run(const QStringList& arguments);
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

Result CommandLineTest::Run(const QStringList& arguments)
{
    return CProgramRun::Run(QStringLiteral(KORVANE_PROGRAM), arguments, m_bed->Path(QString()));
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

    // A bank file gone since: the others load, the failure is said and the status tells.
    QVERIFY(QFile::remove(m_bed->Path("BANK1.94b")));
    const Result partial = Run({"preset", "load", "set.pre"});
    QCOMPARE(partial.status, 3);
    QVERIFY2(partial.err.contains("Unable to load bank:" + m_bed->Path("BANK1.94b")),
             qPrintable(partial.err));
    QCOMPARE(Status()["banks"].toArray().size(), 2);
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
    QTest::newRow("unknown bank") << 1 << QStringList{"unload", "5"} << 3
                                  << "Synth Error: SYNTHERR_UNREF";
    QTest::newRow("priority too high")
        << 1 << QStringList{"priority", "0", "128"} << 2 << "from 0 to 127";
    QTest::newRow("priority not a number")
        << 1 << QStringList{"priority", "0", "x"} << 2 << "from 0 to 127";
    QTest::newRow("bad bank ID") << 1 << QStringList{"unload", "1x"} << 2 << "not a bank ID: 1x";
    QTest::newRow("IDs and --all")
        << 1 << QStringList{"unload", "--all", "0"} << 2 << "unload takes bank IDs or --all";
    QTest::newRow("unknown command") << 0 << QStringList{"frob"} << 2 << "unknown command: frob";
    QTest::newRow("unknown option") << 0 << QStringList{"status", "--frob"} << 2 << "frob";
    QTest::newRow("option of another command")
        << 0 << QStringList{"load", "--json", "a.94b"} << 2 << "--json does not go with load";
    QTest::newRow("missing preset")
        << 1 << QStringList{"preset", "load", "none.pre"} << 4 << "Unable to find the preset file.";
    QTest::newRow("missing template") << 1 << QStringList{"report", "--template", "no.mas", "o.htm"}
                                      << 4 << "Unable to write the MIDI mapping report: ";
    QTest::newRow("card without library")
        << 0 << QStringList{"--synth", "/nonexistent/card.so", "status"} << 3
        << "no synthesizer library";
    QTest::newRow("missing MIDI file")
        << 0 << QStringList{"play", "none.mid"} << 4 << "Unable to open the MIDI file: none.mid";
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
    QFile notes(m_bed->Path("notes.94b"));
    QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a bank\n") > 0);
    notes.close();
    const QJsonObject before = Status();
    const Result result = Run(arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QCOMPARE(result.out, QString());
    if (arguments[0] != u"preset")
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

void CommandLineTest::windowAndCommandsShareTheBankFiles()
{
    const QString first = MakeBank("FIRST");
    QCOMPARE(Run({"load", first}).status, 0);
    // Not a first run, which would empty the card.
    CWindowTestBed::WriteOptions(QString(), COptions::DisplayStandard);
    auto window = m_bed->StartWindow();
    QCOMPARE(window->BankTable().GetBankPath(0), first);
    const QString second = MakeBank("SECOND");
    window->OpenFile(second);
    QCOMPARE(Status()["banks"].toArray()[1].toObject()["path"].toString(), second);
}

void CommandLineTest::playRunsToTheEndOrToAnInterrupt()
{
    const QString song = m_bed->Path("song.mid");
    QFile file(song);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    CFakeSequencer sequencer;
    QTimer::singleShot(50, [&sequencer] { sequencer.EndOfFile(1); });
    QCOMPARE(CCardCommands::Play(song, sequencer), 0);
    QCOMPARE(sequencer.OpenDevices(), 0);

    QTimer::singleShot(50, [] { std::raise(SIGINT); });
    QCOMPARE(CCardCommands::Play(song, sequencer), 130);
    QCOMPARE(sequencer.OpenDevices(), 0);
    QVERIFY(sequencer.PlayingFile().isEmpty());
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

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
