// The main window on a FluidSynth server of the test's own: choosing the server in the
// Options dialog switches the bank list at once, SoundFonts load through the Bank menu,
// a raised priority reorders the server's stack, the next run shows the same banks, and
// a stopped server is named in a clear message.
#include "CardChoice.h"
#include "Commands.h"
#include "DialogBuilder.h"
#include "FluidServer.h"
#include "ModalWatcher.h"
#include "OptionsDlg.h"
#include "ScriptedFileDialog.h"
#include "SoundFontWriter.h"
#include "TblEditWnd.h"
#include "WindowTestBed.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QTest>

namespace {

constexpr int IDOK = 1;
constexpr int IDC_SIMULATED_CARD = 1050;
constexpr int IDC_FLUIDSYNTH_CARD = 1051;
constexpr int IDC_SERVER_ADDRESS = 1052;
constexpr int IDC_TOTAL_MEMORY = 1029;

QString StaticText(const QWidget* window, int id)
{
    const auto* label = qobject_cast<const QLabel*>(CDialogBuilder::GetDlgItem(window, id));
    return label ? label->text() : QString();
}

// Runs ? > Options, picks a card (and the server's address), then OK; true once accepted.
// shownCard: the card the dialog showed as it opened.
bool ChooseCard(CKorvaneDlg& window, int card, const QString& address = QString(),
                int* shownCard = nullptr)
{
    bool accepted = false;
    CModalWatcher watcher;
    watcher.WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<COptionsDlg*>(modal);
        if (!dialog)
            return;
        const auto* server =
            qobject_cast<QAbstractButton*>(CDialogBuilder::GetDlgItem(dialog, IDC_FLUIDSYNTH_CARD));
        if (shownCard)
            *shownCard = server->isChecked() ? IDC_FLUIDSYNTH_CARD : IDC_SIMULATED_CARD;
        qobject_cast<QAbstractButton*>(CDialogBuilder::GetDlgItem(dialog, card))->click();
        if (!address.isEmpty())
            qobject_cast<QLineEdit*>(CDialogBuilder::GetDlgItem(dialog, IDC_SERVER_ADDRESS))
                ->setText(address);
        qobject_cast<QAbstractButton*>(CDialogBuilder::GetDlgItem(dialog, IDOK))->click();
        accepted = dialog->result() == QDialog::Accepted;
    });
    window.OnCommand(Command::Options);
    return accepted;
}

} // namespace

class CardWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void theServerChosenInOptionsIsTheCardUntilItStops();
    void aPresetOfSoundFontsLoadsOnTheServerInItsPriorityOrder();
    void firstRunAndTheOtherCardLeaveTheServersFontsAndFiles();
    void aServerThatStopsIsShownAndFollowedAgainWhenItComesBack();
    void theCardNamedForTheRunIsTheOneTheWindowOffers();
    void aPresetStaysWithTheCardItWasLoadedOn();

private:
    std::unique_ptr<CKorvaneDlg> StartWindow();
    QString Font(const QString& name) const;

    std::unique_ptr<CWindowTestBed> m_bed;
    std::unique_ptr<CFluidServer> m_server;
};

void CardWindowTest::init()
{
    m_bed = std::make_unique<CWindowTestBed>();
    QVERIFY2(m_bed->Problem().isEmpty(), qPrintable(m_bed->Problem()));
    qputenv("KORVANE_FLUIDSYNTH_STATE", m_bed->Path("fluidsynth.state").toLocal8Bit());
    // Options from an earlier run: the tests start a window that is not the first.
    CWindowTestBed::WriteOptions(QString(), COptions::DisplayStandard);
    m_server = std::make_unique<CFluidServer>();
    QVERIFY2(m_server->Start(), "cannot start fluidsynth");
}

void CardWindowTest::cleanup()
{
    m_server.reset();
    m_bed.reset();
    qunsetenv("KORVANE_FLUIDSYNTH_STATE");
}

// The window as the program runs it: the Options dialog's choice reopens the card library.
std::unique_ptr<CKorvaneDlg> CardWindowTest::StartWindow()
{
    const QString libraryDir = QFileInfo(QStringLiteral(KORVANE_CARD_LIBRARY)).path();
    CCardChoice().OpenLibrary(m_bed->Library(), libraryDir);
    auto window = m_bed->StartWindow();
    window->SetCardSwitch(
        [this, libraryDir] { CCardChoice().OpenLibrary(m_bed->Library(), libraryDir); });
    return window;
}

QString CardWindowTest::Font(const QString& name) const
{
    const QString path = m_bed->Path(name);
    CSoundFontWriter writer(QFileInfo(name).baseName().toStdString());
    writer.AddPreset("Tone", 0, 0);
    writer.Write(path.toStdString());
    return path;
}

void CardWindowTest::theServerChosenInOptionsIsTheCardUntilItStops()
{
    auto window = StartWindow();
    QCOMPARE(StaticText(window.get(), IDC_TOTAL_MEMORY), QStringLiteral("4096.0 Ko"));
    const QString address = QString::fromStdString(m_server->Address());
    QVERIFY(ChooseCard(*window, IDC_FLUIDSYNTH_CARD, address));
    QCOMPARE(StaticText(window.get(), IDC_TOTAL_MEMORY), QStringLiteral("1048576.0 Ko"));

    CScriptedFileDialog files;
    const QString first = Font("first.sf2"), second = Font("second.sf2");
    files.Script(first);
    files.Script(second);
    window->OnLoadBank();
    window->OnLoadBank();
    QCOMPARE(files.Requests().size(), size_t{2});
    QCOMPARE(files.Requests()[0].filter,
             QStringLiteral("SoundFont files (*.sf2 *.sf3)|*.sf2;*.sf3|"));
    QCOMPARE(window->BankTable().Status().bankCount, 2u);

    CBankGrid& grid = window->BankGrid();
    QCOMPARE(grid.BeginEditAt(CBankGrid::ColPriority, 1, 0), 0);
    QTest::keyClicks(grid.GetEditWnd(), "5");
    QTest::keyClick(grid.GetEditWnd(), Qt::Key_Tab);
    QTRY_COMPARE_WITH_TIMEOUT(window->BankTable().Status().banks[1].priority, 5, 5000);
    QTest::keyClick(grid.GetEditWnd(), Qt::Key_Escape);
    QCOMPARE(m_server->Fonts(),
             (std::vector<std::string>{second.toStdString(), first.toStdString()}));
    QVERIFY(m_bed->Messages().Calls().empty());

    window.reset();
    window = StartWindow();
    QCOMPARE(window->BankTable().Status().bankCount, 2u);
    QCOMPARE(window->BankTable().GetBankName(1), QStringLiteral("second"));
    QCOMPARE(window->BankTable().Status().banks[1].priority, 5);

    m_server->Stop();
    QVERIFY(ChooseCard(*window, IDC_SIMULATED_CARD));
    QCOMPARE(StaticText(window.get(), IDC_TOTAL_MEMORY), QStringLiteral("4096.0 Ko"));
    QVERIFY(m_bed->Messages().Calls().empty());
    QVERIFY(ChooseCard(*window, IDC_FLUIDSYNTH_CARD));
    QCOMPARE(window->BankTable().Status().bankCount, 0u);
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{1});
    const QString message = m_bed->Messages().Calls()[0].text;
    QVERIFY2(message.contains(address) && message.contains("systemctl --user start fluidsynth"),
             qPrintable(message));
}

// A first window leaves the fonts it finds on the server, another client's among them; and
// each card keeps the files of its own banks while the other is used, in the window or from
// the command line.
void CardWindowTest::firstRunAndTheOtherCardLeaveTheServersFontsAndFiles()
{
    const QString others = Font("others.sf2");
    QVERIFY(!m_server->Command("load " + others.toStdString()).empty());
    QVERIFY(QFile::remove(COptions::ProgramFile()));
    CCardChoice choice;
    choice.SetCardKind(CCardChoice::Kind::FluidSynth);
    QVERIFY(choice.SetServerAddress(QString::fromStdString(m_server->Address())));
    auto window = StartWindow();
    QCOMPARE(m_server->Fonts(), std::vector<std::string>{others.toStdString()});

    const QString mine = Font("mine.sf2");
    CScriptedFileDialog files;
    files.Script(mine);
    window->OnLoadBank();
    const auto mineId = static_cast<uint16_t>(window->BankTable().Status().banks[1].id);
    QCOMPARE(window->BankTable().GetBankPath(mineId), mine);

    QVERIFY(ChooseCard(*window, IDC_SIMULATED_CARD));
    QProcess simulated;
    simulated.start(QStringLiteral(KORVANE_PROGRAM), {"--synth", "simulated", "status"});
    QVERIFY(simulated.waitForFinished(30000) && simulated.exitCode() == 0);
    QVERIFY(ChooseCard(*window, IDC_FLUIDSYNTH_CARD));
    QCOMPARE(window->BankTable().Status().bankCount, 2u);
    QCOMPARE(window->BankTable().GetBankPath(mineId), mine);
    QVERIFY(m_bed->Messages().Calls().empty());
}

void CardWindowTest::aPresetOfSoundFontsLoadsOnTheServerInItsPriorityOrder()
{
    CCardChoice choice;
    choice.SetCardKind(CCardChoice::Kind::FluidSynth);
    QVERIFY(choice.SetServerAddress(QString::fromStdString(m_server->Address())));
    QVERIFY(choice.OpenLibrary(m_bed->Library(),
                               QFileInfo(QStringLiteral(KORVANE_CARD_LIBRARY)).path()));
    CBankTable table(m_bed->Library());
    table.SetSleep([](int) {});
    QVERIFY(table.Init(nullptr));
    const QString low = Font("low.sf2"), high = Font("high.sf2");
    QCOMPARE(table.LoadBank(low), 0);
    QCOMPARE(table.LoadBank(high), 1);
    QCOMPARE(table.SetBankPriority(1, 40), 0);
    QVERIFY(table.SavePreset(m_bed->Path("fonts.pre")));
    QCOMPARE(table.UnloadAllBanks(), 0);
    QVERIFY(m_server->Fonts().empty());

    QVERIFY(table.LoadPreset(m_bed->Path("fonts.pre")));
    QCOMPARE(table.Status().bankCount, 2u);
    QCOMPARE(table.GetBankPath(1), high);
    QCOMPARE(m_server->Fonts(), (std::vector<std::string>{high.toStdString(), low.toStdString()}));
    QVERIFY(m_bed->Messages().Calls().empty());
}

// No Bank command is needed: the list and the gauge show no card, with where the server was
// looked for and how to start it, and no message box interrupts. The banks' files are kept
// for the server's return, when the list follows it again by itself.
void CardWindowTest::aServerThatStopsIsShownAndFollowedAgainWhenItComesBack()
{
    CCardChoice choice;
    choice.SetCardKind(CCardChoice::Kind::FluidSynth);
    const QString address = QString::fromStdString(m_server->Address());
    QVERIFY(choice.SetServerAddress(address));
    auto window = StartWindow();
    CScriptedFileDialog files;
    const QString font = Font("kept.sf2");
    files.Script(font);
    window->OnLoadBank();
    CBankGrid& grid = window->BankGrid();
    QCOMPARE(CBankGrid::CardText(window->BankTable(), CBankGrid::ColName, 0),
             QStringLiteral("kept"));
    QVERIFY(window->MemoryGauge()->value() > 0);

    m_server->Stop();
    QTRY_VERIFY_WITH_TIMEOUT(!window->CardProblem().isEmpty(), 10000);
    const QString problem = window->CardProblem();
    QVERIFY2(problem.contains(address) && problem.contains("systemctl --user start fluidsynth"),
             qPrintable(problem));
    QString name;
    grid.GetCellText(CBankGrid::ColName, 0, name);
    QCOMPARE(name, QString());
    QCOMPARE(window->MemoryGauge()->value(), 0);
    QCOMPARE(StaticText(window.get(), IDC_TOTAL_MEMORY), QStringLiteral("  0.0 Ko"));
    QVERIFY(m_bed->Messages().Calls().empty());
    QCOMPARE(window->BankTable().GetBankPath(0), font);

    // A server stopped while a read was under way leaves its port taken for up to a minute.
    QTRY_VERIFY_WITH_TIMEOUT(m_server->Start(), 70000);
    QVERIFY(!m_server->Command("load " + font.toStdString()).empty());
    QTRY_VERIFY_WITH_TIMEOUT(window->CardProblem().isEmpty() &&
                                 grid.GetCellText(CBankGrid::ColName, 0, name) == 0 &&
                                 name == QStringLiteral("kept"),
                             30000);
    QCOMPARE(window->BankTable().GetBankPath(0), font);
    QVERIFY(m_bed->Messages().Calls().empty());
}

// "korvane --synth fluidsynth" while the simulated card is the one chosen: the Load dialog
// asks for SoundFonts, Options shows the server, and choosing the simulated card there
// switches to it.
void CardWindowTest::theCardNamedForTheRunIsTheOneTheWindowOffers()
{
    CCardChoice choice;
    QVERIFY(choice.SetServerAddress(QString::fromStdString(m_server->Address())));
    const QString libraryDir = QFileInfo(QStringLiteral(KORVANE_CARD_LIBRARY)).path();
    QVERIFY(choice.OpenLibrary(m_bed->Library(), libraryDir, "fluidsynth"));
    auto window = std::make_unique<CKorvaneDlg>(m_bed->Library());
    window->SetCardForThisRun("fluidsynth");
    window->SetCardSwitch(
        [this, libraryDir] { CCardChoice().OpenLibrary(m_bed->Library(), libraryDir); });
    window->OnInitDialog();
    QCOMPARE(StaticText(window.get(), IDC_TOTAL_MEMORY), QStringLiteral("1048576.0 Ko"));

    CScriptedFileDialog files;
    window->OnLoadBank();
    QCOMPARE(files.Requests().size(), size_t{1});
    QCOMPARE(files.Requests()[0].filter,
             QStringLiteral("SoundFont files (*.sf2 *.sf3)|*.sf2;*.sf3|"));

    int shown = 0;
    QVERIFY(ChooseCard(*window, IDC_SIMULATED_CARD, QString(), &shown));
    QCOMPARE(shown, IDC_FLUIDSYNTH_CARD);
    QCOMPARE(StaticText(window.get(), IDC_TOTAL_MEMORY), QStringLiteral("4096.0 Ko"));
    QCOMPARE(choice.CardKind(), CCardChoice::Kind::Simulated);
    QVERIFY(m_bed->Messages().Calls().empty());
}

// A preset describes the banks of the card it was loaded on: a switch offers to save it while
// they are still shown, then leaves it with that card, so that no Save writes the other
// card's banks over it.
void CardWindowTest::aPresetStaysWithTheCardItWasLoadedOn()
{
    const QString preset = m_bed->MakePreset("studio.pre", {"PIANO"});
    QFile file(preset);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    auto window = StartWindow();
    window->OpenFile(preset);
    QVERIFY(window->OpenFile(m_bed->MakeBank("EXTRA")));

    m_bed->Messages().Script(Id::No);
    QVERIFY(ChooseCard(*window, IDC_FLUIDSYNTH_CARD, QString::fromStdString(m_server->Address())));
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{1});
    QCOMPARE(m_bed->Messages().Calls()[0].text,
             QStringLiteral("Presest is modified. Do you want to save it ?"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Korvane - [No-preset Mode]"));
    window->OnCommand(Command::PresetSave);
    QVERIFY(file.seek(0));
    QCOMPARE(file.readAll(), saved);
}

QTEST_MAIN(CardWindowTest)
#include "CardWindowTest.moc"
