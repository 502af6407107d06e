// Files dropped on the main window, as a file manager drops them: bank files of every kind
// load in order until one fails, a preset opens after the question about a modified one,
// and a drag of anything else is refused.
#include "Commands.h"
#include "SoundFontWriter.h"
#include "WindowTestBed.h"

#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace {

const QString kModifiedQuestion = QStringLiteral("Presest is modified. Do you want to save it ?");

// Drags the addresses over the window and drops them there, then lets the window open them.
// True when the window took both the drag and the drop.
bool Drop(CKorvaneDlg& window, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint centre = window.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    QCoreApplication::processEvents();
    return enter.isAccepted() && drop.isAccepted();
}

QList<QUrl> Files(const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    return urls;
}

} // namespace

class DropWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void droppedBankFilesLoadInOrderUntilOneFails();
    void droppedPresetOpensAfterTheQuestionAboutTheModifiedOne();
    void dragOfAnythingElseIsRefused_data();
    void dragOfAnythingElseIsRefused();

private:
    QStringList Banks(const CKorvaneDlg& window) const;

    std::unique_ptr<CWindowTestBed> m_bed;
};

void DropWindowTest::init()
{
    m_bed = std::make_unique<CWindowTestBed>();
    QVERIFY2(m_bed->Problem().isEmpty(), qPrintable(m_bed->Problem()));
}

void DropWindowTest::cleanup()
{
    m_bed.reset();
}

// The files of the banks in the card, in the order of their IDs.
QStringList DropWindowTest::Banks(const CKorvaneDlg& window) const
{
    QStringList files;
    const SynthStatus& status = window.BankTable().Status();
    for (uint32_t i = 0; i < status.bankCount; ++i)
        files << window.BankTable().GetBankPath(static_cast<uint16_t>(status.banks[i].id));
    return files;
}

void DropWindowTest::droppedBankFilesLoadInOrderUntilOneFails()
{
    auto window = m_bed->StartWindow();
    const QString font = m_bed->Path("SOFT.sf2");
    CSoundFontWriter writer("SOFT");
    writer.AddPreset("Soft piano", 0, 0);
    QVERIFY(writer.Write(font.toStdString()));
    const QString strings = m_bed->MakeBank("STRINGS");
    QVERIFY(Drop(*window, Files({font, strings})));
    QCOMPARE(Banks(*window), (QStringList{font, strings}));
    QVERIFY(m_bed->Messages().Calls().empty());

    // A file that cannot be loaded stops the drop, with the card's message.
    const QString pads = m_bed->MakeBank("PADS");
    QVERIFY(Drop(*window, Files({pads, m_bed->Path("gone.94b"), m_bed->MakeBank("BRASS")})));
    QCOMPARE(Banks(*window), (QStringList{font, strings, pads}));
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{1});

    // So does the ninth bank, refused as Bank > Load a bank refuses it.
    QStringList more;
    for (const char* name : {"B4", "B5", "B6", "B7", "B8", "B9"})
        more << m_bed->MakeBank(name);
    QVERIFY(Drop(*window, Files(more)));
    QCOMPARE(Banks(*window).size(), 8);
    QCOMPARE(Banks(*window).constLast(), more[4]);
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{2});
    QCOMPARE(m_bed->Messages().Calls()[1].text, QStringLiteral("Max count of banks was reached."));
}

void DropWindowTest::droppedPresetOpensAfterTheQuestionAboutTheModifiedOne()
{
    const QString preset = m_bed->MakePreset("live.pre", {"PIANO", "PADS"});
    auto window = m_bed->StartWindow();
    window->OnCommand(Command::PresetNew);
    m_bed->Messages().Script(Id::No);
    QVERIFY(Drop(*window, Files({preset})));
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{1});
    QCOMPARE(m_bed->Messages().Calls()[0].text, kModifiedQuestion);
    QCOMPARE(window->windowTitle(), QStringLiteral("Korvane - [live.pre]"));
    QCOMPARE(Banks(*window).size(), 2);
}

void DropWindowTest::dragOfAnythingElseIsRefused_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<QUrl>>("extra");
    QTest::newRow("another kind of file") << QStringList{"notes.txt"} << QList<QUrl>{};
    QTest::newRow("a preset with a bank") << QStringList{"live.pre", "PIANO.94b"} << QList<QUrl>{};
    QTest::newRow("two presets") << QStringList{"live.pre", "other.pre"} << QList<QUrl>{};
    QTest::newRow("a remote bank")
        << QStringList{} << QList<QUrl>{QUrl(QStringLiteral("https://example.org/PIANO.94b"))};
    QTest::newRow("a bank with another file")
        << QStringList{"PIANO.94b"} << QList<QUrl>{QUrl::fromLocalFile("/notes.txt")};
}

void DropWindowTest::dragOfAnythingElseIsRefused()
{
    QFETCH(QStringList, names);
    QFETCH(QList<QUrl>, extra);
    m_bed->MakePreset("live.pre", {"PIANO"});
    m_bed->MakePreset("other.pre", {"PADS"});
    QFile notes(m_bed->Path("notes.txt"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.close();
    auto window = m_bed->StartWindow();
    QStringList paths;
    for (const QString& name : names)
        paths << m_bed->Path(name);
    QVERIFY(!Drop(*window, Files(paths) + extra));
    QVERIFY(Banks(*window).isEmpty());
    QCOMPARE(window->windowTitle(), QStringLiteral("Korvane - [No-preset Mode]"));
    QVERIFY(m_bed->Messages().Calls().empty());
}

QTEST_MAIN(DropWindowTest)
#include "DropWindowTest.moc"
