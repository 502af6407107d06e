// The command line as a shell user expects it: each command's own help, "-" for standard
// output, no escape codes where no terminal can take them, and errors said in words.
#include "CommandHelp.h"
#include "CommandLine.h"
#include "ProgramRun.h"
#include "TerminalLoadProgress.h"
#include "WindowTestBed.h"

#include <QFile>
#include <QTest>

class CommandConventionsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyCommandHasItsOwnHelp();
    void reportDashGoesToStandardOutput();
    void progressSendsNoEscapeCodesWhereNoTerminalTakesThem();
    void errorsSayWhatIsWrong_data();
    void errorsSayWhatIsWrong();

private:
    CProgramRun Run(const QStringList& arguments);

    std::unique_ptr<CWindowTestBed> m_bed;
};

void CommandConventionsTest::init()
{
    m_bed = std::make_unique<CWindowTestBed>();
    QVERIFY2(m_bed->Problem().isEmpty(), qPrintable(m_bed->Problem()));
}

void CommandConventionsTest::cleanup()
{
    m_bed.reset();
}

CProgramRun CommandConventionsTest::Run(const QStringList& arguments)
{
    return CProgramRun::Run(QStringLiteral(KORVANE_PROGRAM), arguments, m_bed->Path(QString()));
}

// "help load" and "load --help" print the same usage of that command alone; the summary
// lists every command; an unknown one is wrong usage.
void CommandConventionsTest::everyCommandHasItsOwnHelp()
{
    const auto run = [](const QStringList& arguments, QString& text) {
        QString error;
        QTextStream out(&text);
        QTextStream err(&error);
        const int status = CCommandLine(QStringList{"korvane"} + arguments).Run(out, err);
        out.flush();
        return status == 0 && error.isEmpty();
    };
    const QStringList commands = CCommandHelp::Commands();
    QCOMPARE(commands.size(), 10);
    QString summary;
    QVERIFY(run({"--help"}, summary));
    for (const QString& command : commands) {
        QString byHelp;
        QString byOption;
        QVERIFY2(run({"help", command}, byHelp), qPrintable(command));
        QVERIFY2(run({command, "--help"}, byOption), qPrintable(command));
        QCOMPARE(byOption, byHelp);
        QVERIFY2(byHelp.startsWith(QStringLiteral("Usage: korvane ")) &&
                     byHelp.section(u'\n', 0, 0).contains(u' ' + command),
                 qPrintable(byHelp));
        QVERIFY2(summary.contains(QStringLiteral("\n  ") + command), qPrintable(command));
        for (const QString& other : commands) {
            if (other != command)
                QVERIFY2(!byHelp.contains(QStringLiteral("korvane [--synth CARD] ") + other),
                         qPrintable(byHelp));
        }
    }
    QString unknown;
    QTextStream out(&unknown);
    QTextStream err(&unknown);
    QCOMPARE(CCommandLine({"korvane", "help", "frob"}).Run(out, err), 2);
    err.flush();
    QVERIFY2(unknown.startsWith("korvane: unknown command: frob\n"), qPrintable(unknown));
}

void CommandConventionsTest::reportDashGoesToStandardOutput()
{
    QCOMPARE(Run({"load", m_bed->MakeBank("PIANO")}).status, 0);
    const CProgramRun report = Run({"report", "-"});
    QCOMPARE(report.status, 0);
    QVERIFY2(report.out.contains("<td>PIANO</td>"), qPrintable(report.out));
    QVERIFY2(report.out.trimmed().endsWith("</html>"), "the report is not whole");
    QCOMPARE(report.err, QString());
    QVERIFY(!QFile::exists(m_bed->Path("-")));
}

// On a terminal without escape codes a shorter line is blanked over the longer one; where
// standard error is no terminal at all (a pipe here) there is no progress.
void CommandConventionsTest::progressSendsNoEscapeCodesWhereNoTerminalTakesThem()
{
    using Erase = CTerminalLoadProgress::Erase;
    QCOMPARE(CTerminalLoadProgress::EraseFor(false, "xterm"), std::nullopt);
    QCOMPARE(CTerminalLoadProgress::EraseFor(true, "dumb"), Erase::WithSpaces);
    QCOMPARE(CTerminalLoadProgress::EraseFor(true, ""), Erase::WithSpaces);
    QCOMPARE(CTerminalLoadProgress::EraseFor(true, "xterm-256color"), Erase::WithEscapeCode);

    QString text;
    {
        QTextStream stream(&text);
        const auto progress = CTerminalLoadProgress::Factory(stream, Erase::WithSpaces)(nullptr);
        progress->SetRange(100);
        progress->SetLegend("Bank: /long/name.94b");
        progress->SetPos(50);
        progress->SetLegend("Bank: /b");
    }
    QVERIFY2(!text.contains(u'\x1b'), qPrintable(text));
    QVERIFY2(text.endsWith("\r 50% Bank: /b            \n"), qPrintable(text));

    const QString preset = m_bed->MakePreset("Set.pre", {"ONE", "TWO"});
    const CProgramRun load = Run({"preset", "load", preset});
    QCOMPARE(load.status, 0);
    QCOMPARE(load.err, QString());
}

void CommandConventionsTest::errorsSayWhatIsWrong_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("negative priority") << QStringList{"priority", "0", "-1"} << 2
                                       << "the priority must be a number from 0 to 127: -1\n"
                                          "Try 'korvane help priority' for more information.";
    QTest::newRow("negative bank ID") << QStringList{"unload", "-3"} << 2 << "not a bank ID: -3";
    QTest::newRow("misspelt card")
        << QStringList{"--synth", "fluidsinth", "status"} << 2
        << "no card named fluidsinth: --synth takes simulated, fluidsynth, or the path of a "
           "card library";
    QTest::newRow("misspelt card for the window")
        << QStringList{"--synth", "fluidsinth"} << 2 << "no card named fluidsinth";
    QTest::newRow("damaged state file")
        << QStringList{"status"} << 3
        << "the card's state file %1 is damaged: it was set aside as %1.bad";
}

void CommandConventionsTest::errorsSayWhatIsWrong()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    QCOMPARE(Run({"load", m_bed->MakeBank("KEEP")}).status, 0);
    const QString state = m_bed->Path("card.state");
    QFile file(state);
    const bool damage = message.contains("%1");
    if (damage) {
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a card\n") > 0);
        file.close();
    }
    const CProgramRun result = Run(arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.contains(damage ? message.arg(state) : message), qPrintable(result.err));
    QCOMPARE(result.out, QString());
    if (damage) {
        QVERIFY(QFile::exists(state + ".bad"));
        QCOMPARE(Run({"status"}).status, 0);
    }
}

QTEST_MAIN(CommandConventionsTest)
#include "CommandConventionsTest.moc"
