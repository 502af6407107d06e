// The main window with files that are not what they seem: FIFOs where the start-up preset
// or the options file should be, names that are not UTF-8, a damaged start-up preset.
#include "BankFileWriter.h"
#include "Commands.h"
#include "NativePath.h"
#include "ScriptedFileDialog.h"
#include "WindowTestBed.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

namespace {

QString Title(const QString& name)
{
    return QStringLiteral("Korvane - [%1]").arg(name);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool IsFifo(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

} // namespace

class HostileInputWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpWithHostileFiles_data();
    void startUpWithHostileFiles();
    void namesThatAreNotUtf8GoThroughSaveOpenAndStartUp();

private:
    std::unique_ptr<CWindowTestBed> m_bed;
};

void HostileInputWindowTest::init()
{
    m_bed = std::make_unique<CWindowTestBed>();
    QVERIFY2(m_bed->Problem().isEmpty(), qPrintable(m_bed->Problem()));
}

void HostileInputWindowTest::cleanup()
{
    m_bed.reset();
}

void HostileInputWindowTest::startUpWithHostileFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("presetKept");
    QTest::newRow("FIFO as start-up preset")
        << "fifo.pre" << QStringLiteral("Unable to find the preset file.") << false;
    QTest::newRow("FIFO as options file")
        << "krv.opt"
        << QStringLiteral("The options file is damaged; the default options are used: ") << false;
    // The user may repair a damaged preset; only one that cannot be opened is dropped.
    QTest::newRow("damaged start-up preset")
        << "damaged.pre" << QStringLiteral("This file is not a valid preset: ") << true;
}

// Opening a FIFO to read waits for a writer: the start-up would never end.
void HostileInputWindowTest::startUpWithHostileFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    QFETCH(bool, presetKept);
    const QString path = m_bed->Path(file);
    if (file != "krv.opt")
        CWindowTestBed::WriteOptions(path, COptions::DisplayStandard);
    const QByteArray options = ReadAll(COptions::ProgramFile());
    if (file == "damaged.pre") {
        QFile damaged(path);
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("\x09\0\0", 3) == 3);
    } else {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }

    auto window = m_bed->StartWindow();
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), Title("No-preset Mode"));
    // A start-up preset that is dropped is said to be, after the message of its file.
    const bool dropped = file.endsWith(".pre") && !presetKept;
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{dropped ? 2U : 1U});
    QVERIFY2(m_bed->Messages().Calls()[0].text.startsWith(message),
             qPrintable(m_bed->Messages().Calls()[0].text));
    window->OnCommand(Command::PresetExit);
    QCOMPARE(ReadAll(COptions::ProgramFile()), presetKept ? options : QByteArray(6, '\0'));
    if (file == "krv.opt")
        QVERIFY2(IsFifo(path + QStringLiteral(".bad")), "the FIFO is kept aside");
}

void HostileInputWindowTest::namesThatAreNotUtf8GoThroughSaveOpenAndStartUp()
{
    const QByteArray directory = QFile::encodeName(m_bed->Path(QString())) + '/';
    const QByteArray bankFile = directory + "latin\xff\xfe.94b";
    const QByteArray presetFile = directory + "odd copy\xff.pre";
    CBankFileWriter bank("LATIN");
    bank.AddInstrument(0, 0);
    QVERIFY(bank.Write(bankFile.toStdString()));
    {
        auto lastRun = m_bed->StartWindow();
        CScriptedFileDialog files;
        lastRun->OnCommand(Command::PresetNew);
        files.Script(CNativePath::Decode(bankFile));
        lastRun->OnCommand(Command::LoadBank);
        files.Script(CNativePath::Decode(presetFile));
        lastRun->OnCommand(Command::PresetSave);
        QCOMPARE(lastRun->windowTitle(), Title(QStringLiteral("odd copy\u00ff.pre")));
        lastRun->OnCommand(Command::PresetExit);
    }
    QVERIFY(m_bed->Messages().Calls().empty());

    CWindowTestBed::WriteOptions(CNativePath::Decode(presetFile), COptions::DisplayStandard);
    const QByteArray options = ReadAll(COptions::ProgramFile());
    QVERIFY(options.contains(presetFile));
    auto window = m_bed->StartWindow();
    QVERIFY(m_bed->Messages().Calls().empty());
    QCOMPARE(window->BankTable().Status().bankCount, 1u);
    QCOMPARE(CNativePath::Encode(window->BankTable().GetBankPath(0)), bankFile);
    QCOMPARE(window->windowTitle(), Title(QStringLiteral("odd copy\u00ff.pre")));
    window->OnCommand(Command::PresetExit);
    QCOMPARE(ReadAll(COptions::ProgramFile()), options);
}

QTEST_MAIN(HostileInputWindowTest)
#include "HostileInputWindowTest.moc"
