// The main window driven as a user would: a real card library on a card kept in a
// temporary directory, scripted message boxes, and what the window shows.
#include "AboutDlg.h"
#include "BankFileWriter.h"
#include "Commands.h"
#include "DialogBuilder.h"
#include "ExecutableDir.h"
#include "FakeNotificationIcon.h"
#include "KorvaneDlg.h"
#include "LoadProgressDlg.h"
#include "MenuBuilder.h"
#include "ModalWatcher.h"
#include "Options.h"
#include "RecordingMessageBox.h"
#include "ScriptedFileDialog.h"
#include "SharedSynthLibrary.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

constexpr uint32_t kCardMemory = 4 * 1024 * 1024;

QString StaticText(const QWidget* window, int id)
{
    const auto* label = qobject_cast<const QLabel*>(CDialogBuilder::GetDlgItem(window, id));
    return label ? label->text() : QStringLiteral("<no static %1>").arg(id);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithAnEmptyCardInNoPresetMode();
    void showsTheBanksAlreadyInTheCard();
    void menuBarCarriesTheCommands();
    void keyboardReachesTheCommandsAndIconButtonsAreNamed();
    void quitsByEachOfTheThreeWays_data();
    void quitsByEachOfTheThreeWays();
    void escapeQuitsLikeTheCloseBox();
    void aboutBoxOpensFromTheHelpMenu();
    void startsWithoutACardLibraryAndSaysSo();
    void midiMappingWritesTheReportChosenInTheSaveDialog();
    void midiMappingCancelledOrFailedLeavesNoReport();
    void firstRunKeepsTheCardAndWritesTheOptionsAtExit();
    void startupPresetThatNoLongerExistsIsDroppedAtQuit();
    void startupPresetRestoresBanksPrioritiesAndTitle();
    void trayDisplayModeKeepsTheWindowHidden();

private:
    QString BankPath(const QString& name) const { return m_dir->filePath(name + ".94b"); }
    void WriteBank(const QString& name, uint32_t size);
    void MakeBank(const QString& name, uint32_t size);
    void WriteOptions(const QString& startupPreset, uint32_t display = COptions::DisplayStandard);
    std::unique_ptr<CKorvaneDlg> StartWindow();
    // Clicks the Midi Mapping button with the report template of the build beside the
    // program (or none) and the save dialog answering reportPath.
    void ClickMidiMapping(CKorvaneDlg& window, bool withTemplate, const QString& reportPath);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CSharedSynthLibrary> m_library;
    std::unique_ptr<CRecordingMessageBox> m_messages;
};

void MainWindowTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("KORVANE_CARD_STATE", m_dir->filePath("card.state").toLocal8Bit());
    qputenv("KORVANE_CARD_MEMORY", QByteArray::number(kCardMemory));
    m_library = std::make_unique<CSharedSynthLibrary>(QStringLiteral(KORVANE_CARD_LIBRARY));
    QVERIFY2(m_library->IsLoaded(), qPrintable(m_library->ErrorString()));
    m_messages = std::make_unique<CRecordingMessageBox>();
    // The options file beside the program and the user's copy, both in the temporary
    // directory.
    CExecutableDir::Override(m_dir->path());
    qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toLocal8Bit());
}

void MainWindowTest::cleanup()
{
    CExecutableDir::Override(QString());
    m_messages.reset();
    m_library.reset();
    m_dir.reset();
}

void MainWindowTest::WriteBank(const QString& name, uint32_t size)
{
    const QString path = BankPath(name);
    CBankFileWriter bank;
    bank.SetName(name.toStdString());
    bank.AddInstrument(0, 0);
    bank.SetSize(size);
    std::string error;
    QVERIFY2(bank.Write(path.toStdString(), &error), error.c_str());
}

// A bank file put straight into the card, as by an earlier run of the program.
void MainWindowTest::MakeBank(const QString& name, uint32_t size)
{
    WriteBank(name, size);
    QVERIFY(m_library->SynthLoadBank(BankPath(name).toLocal8Bit().constData()) <
            SYNTH_LOAD_ERROR_BASE);
}

void MainWindowTest::WriteOptions(const QString& startupPreset, uint32_t display)
{
    COptions options;
    options.SetStartupPreset(startupPreset);
    options.SetDisplay(display);
    QVERIFY(options.Save());
}

std::unique_ptr<CKorvaneDlg> MainWindowTest::StartWindow()
{
    auto window = std::make_unique<CKorvaneDlg>(*m_library);
    window->OnInitDialog();
    window->show();
    return window;
}

void MainWindowTest::startsWithAnEmptyCardInNoPresetMode()
{
    auto window = StartWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Korvane - [No-preset Mode]"));
    QCOMPARE(StaticText(window.get(), 1027), QStringLiteral("  0.0 Ko"));
    QCOMPARE(StaticText(window.get(), 1029), QStringLiteral("4096.0 Ko"));
    QCOMPARE(StaticText(window.get(), 1024), QStringLiteral("4096.0 Ko"));
    QCOMPARE(StaticText(window.get(), 1025), QStringLiteral("100.0 %"));
    QCOMPARE(window->MemoryGauge()->value(), 0);
    QVERIFY(m_messages->Calls().empty());
}

void MainWindowTest::showsTheBanksAlreadyInTheCard()
{
    WriteOptions(QString());
    MakeBank(QStringLiteral("PIANO"), 2 * 1024 * 1024);
    MakeBank(QStringLiteral("DRUMS"), 1024 * 1024);
    auto window = StartWindow();
    QCOMPARE(window->BankTable().Status().bankCount, 2u);
    QCOMPARE(StaticText(window.get(), 1027), QStringLiteral("3072.0 Ko"));
    QCOMPARE(StaticText(window.get(), 1029), QStringLiteral("4096.0 Ko"));
    QCOMPARE(StaticText(window.get(), 1024), QStringLiteral("1024.0 Ko"));
    QCOMPARE(StaticText(window.get(), 1025), QStringLiteral("25.0 %"));
    const QProgressBar* gauge = window->MemoryGauge();
    QCOMPARE(gauge->value() * 4, gauge->maximum() * 3);
    QVERIFY(gauge->isVisible());
    QCOMPARE(gauge->geometry(), CDialogBuilder::GetDlgItem(window.get(), 1022)->geometry());
}

void MainWindowTest::menuBarCarriesTheCommands()
{
    auto window = StartWindow();
    const QList<QAction*> popups = window->MenuBar()->actions();
    QCOMPARE(popups.size(), 3);
    QCOMPARE(popups[0]->text(), QStringLiteral("&Preset"));
    QCOMPARE(popups[1]->text(), QStringLiteral("&Bank"));
    QCOMPARE(popups[2]->text(), QStringLiteral("&?"));
    for (int id : {Command::PresetOpen, Command::PresetNew, Command::PresetSave,
                   Command::PresetSaveAs, Command::PresetExit, Command::LoadBank,
                   Command::UnloadBank, Command::UnloadAllBanks, Command::Options, Command::About})
        QVERIFY2(CMenuBuilder::FindCommand(window->MenuBar(), id), qPrintable(QString::number(id)));
}

// Shortcuts and access keys reach the commands; the buttons that show only a picture have a
// tooltip and a name for screen readers, as do the gauge and the list.
void MainWindowTest::keyboardReachesTheCommandsAndIconButtonsAreNamed()
{
    auto window = StartWindow();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    CScriptedFileDialog files;
    files.Script(QString());
    QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(files.Requests().size(), size_t{1});
    QCOMPARE(files.Requests()[0].defaultExt, QStringLiteral("*.94b"));

    files.Script(QString());
    QTest::keyClick(window.get(), Qt::Key_B, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget(), 5000);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_L);
    QCOMPARE(files.Requests().size(), size_t{2});

    // Each button's tooltip names its access key too.
    struct Named
    {
        int id;
        QString name;
        QString tip;
    };
    const QList<Named> named = {{1005, "Stop", "Stop (Alt+S)"},
                                {1012, "Play", "Play (Alt+L)"},
                                {1010, "Choose a MIDI file", "Choose a MIDI file (Alt+R)"}};
    for (const Named& control : named) {
        const QWidget* button = CDialogBuilder::GetDlgItem(window.get(), control.id);
        QVERIFY(button);
        QCOMPARE(button->toolTip(), control.tip);
        QCOMPARE(button->accessibleName(), control.name);
    }
    QCOMPARE(CDialogBuilder::GetDlgItem(window.get(), 1007)->toolTip(),
             QStringLiteral("Midi Mapping (Alt+M)"));
    QCOMPARE(window->MemoryGauge()->accessibleName(), QStringLiteral("Used memory"));
    QCOMPARE(window->BankGrid().accessibleName(), QStringLiteral("Banks in memory"));
}

void MainWindowTest::quitsByEachOfTheThreeWays_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("close box") << 0;
    QTest::newRow("Preset > Exit") << Command::PresetExit;
    QTest::newRow("tray Exit") << Command::TrayExit;
}

void MainWindowTest::quitsByEachOfTheThreeWays()
{
    QFETCH(int, way);
    WriteOptions(QString());
    MakeBank(QStringLiteral("KEEP"), 4096);
    auto window = StartWindow();
    QTimer::singleShot(0, window.get(), [&window, way] {
        if (way == 0)
            window->close();
        else if (way == Command::PresetExit)
            CMenuBuilder::FindCommand(window->MenuBar(), way)->trigger();
        else
            window->OnCommand(way);
    });
    QCOMPARE(window->exec(), int(QDialog::Accepted));
    QVERIFY(!window->isVisible());

    SynthStatus status{};
    QCOMPARE(m_library->SynthGetStatus(&status), uint16_t{0});
    QCOMPARE(status.bankCount, 1u); // banks stay in the card
}

// Escape in the priority editor only cancels the edit; in the window it runs the quit
// steps, which save the changed options.
void MainWindowTest::escapeQuitsLikeTheCloseBox()
{
    WriteOptions(QString());
    MakeBank(QStringLiteral("KEEP"), 4096);
    auto window = StartWindow();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QSignalSpy finished(window.get(), &QDialog::finished);
    QCOMPARE(window->BankGrid().BeginEditAt(2, 0, 0), 0);
    QVERIFY(window->BankGrid().IsEditing());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!window->BankGrid().IsEditing(), 5000);
    QVERIFY(finished.isEmpty());

    CScriptedFileDialog files;
    files.Script(m_dir->filePath("song.mid"));
    window->OnCommand(Command::BrowseMidi);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toInt(), int(QDialog::Accepted));
    COptions saved;
    QVERIFY(saved.Load());
    QCOMPARE(saved.GetMidiFile(), m_dir->filePath("song.mid"));
}

void MainWindowTest::aboutBoxOpensFromTheHelpMenu()
{
    auto window = StartWindow();
    bool frameless = false;
    QColor background;
    QStringList texts;
    CModalWatcher watcher;
    watcher.WhenModalOpens([&](QWidget* modal) {
        if (auto* about = qobject_cast<CAboutDlg*>(modal)) {
            for (const QLabel* label : about->findChildren<QLabel*>())
                texts << label->text();
            frameless = about->windowFlags().testFlag(Qt::FramelessWindowHint);
            background = about->grab().toImage().pixelColor(about->width() - 2, 2);
            QTest::keyClick(about, Qt::Key_Escape);
        }
    });
    CMenuBuilder::FindCommand(window->MenuBar(), Command::About)->trigger();
    QVERIFY(watcher.Seen());
    QVERIFY(frameless);
    QCOMPARE(background, QColor(Qt::black));
    // The program's version, and no made-up address.
    const QString text = texts.join(u'\n');
    QVERIFY2(text.contains(QStringLiteral("Version " KORVANE_VERSION)), qPrintable(text));
    QVERIFY2(!text.contains(u'@'), qPrintable(text));
}

void MainWindowTest::startsWithoutACardLibraryAndSaysSo()
{
    CSharedSynthLibrary missing(m_dir->filePath("no-such-library.so"));
    QVERIFY(!missing.IsLoaded());
    CKorvaneDlg window(missing);
    window.OnInitDialog();
    QCOMPARE(m_messages->Calls().size(), size_t{1});
    QCOMPARE(m_messages->Calls()[0].text, QStringLiteral("Synth Error: SYNTHERR_NOTSUPPORTED "));
    QCOMPARE(m_messages->Calls()[0].caption, QStringLiteral("Error"));
    QCOMPARE(StaticText(&window, 1029), QStringLiteral("  0.0 Ko"));
    QCOMPARE(StaticText(&window, 1025), QStringLiteral("0.0 %"));
}

// A first run leaves the banks it finds in the card, and writes the options file at its
// exit, so that the next start is an ordinary one.
void MainWindowTest::firstRunKeepsTheCardAndWritesTheOptionsAtExit()
{
    MakeBank(QStringLiteral("OLD"), 4096);
    auto window = StartWindow();
    QCOMPARE(window->BankTable().Status().bankCount, 1u);
    QCOMPARE(StaticText(window.get(), 1027), QStringLiteral("  4.0 Ko"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Korvane - [No-preset Mode]"));
    window->OnCommand(Command::PresetExit);
    QFile options(COptions::ProgramFile());
    QVERIFY(options.open(QIODevice::ReadOnly));
    QCOMPARE(options.readAll(), QByteArray(6, '\0'));
    QVERIFY(m_messages->Calls().empty());

    window.reset();
    MakeBank(QStringLiteral("NEW"), 4096);
    window = StartWindow();
    QCOMPARE(window->BankTable().Status().bankCount, 2u);
}

void MainWindowTest::startupPresetThatNoLongerExistsIsDroppedAtQuit()
{
    WriteOptions(m_dir->filePath("gone.pre"));
    MakeBank(QStringLiteral("KEEP"), 4096);
    auto window = StartWindow();
    // The user is told which file, and that it is no longer the start-up preset.
    QCOMPARE(m_messages->Calls().size(), size_t{2});
    QCOMPARE(m_messages->Calls()[0].text,
             "Unable to find the preset file.\n" + m_dir->filePath("gone.pre"));
    QCOMPARE(m_messages->Calls()[1].text,
             "This preset is no longer loaded at start-up; choose it again in ? > Options once "
             "it can be opened: " +
                 m_dir->filePath("gone.pre"));
    QCOMPARE(window->BankTable().Status().bankCount, 1u);
    QCOMPARE(window->windowTitle(), QStringLiteral("Korvane - [No-preset Mode]"));

    window->OnCommand(Command::PresetExit);
    QFile options(COptions::ProgramFile());
    QVERIFY(options.open(QIODevice::ReadOnly));
    QCOMPARE(options.readAll(), QByteArray(6, '\0'));
}

void MainWindowTest::startupPresetRestoresBanksPrioritiesAndTitle()
{
    const QString preset = m_dir->filePath("live.pre");
    WriteBank(QStringLiteral("PIANO"), 8192);
    WriteBank(QStringLiteral("PADS"), 4096);
    {
        CBankTable lastRun(*m_library);
        lastRun.SetSleep([](int) {});
        QVERIFY(lastRun.Init(nullptr));
        QCOMPARE(lastRun.LoadBank(BankPath(QStringLiteral("PIANO"))), uint16_t{0});
        QCOMPARE(lastRun.LoadBank(BankPath(QStringLiteral("PADS"))), uint16_t{1});
        QCOMPARE(lastRun.SetBankPriority(0, 70), uint16_t{0});
        QCOMPARE(lastRun.SetBankPriority(1, 5), uint16_t{0});
        QVERIFY(lastRun.SavePreset(preset));
        QCOMPARE(lastRun.UnloadBank(0), uint16_t{0});
    }
    WriteOptions(preset);
    auto window = StartWindow();
    QVERIFY(m_messages->Calls().empty());
    const SynthStatus& status = window->BankTable().Status();
    QCOMPARE(status.bankCount, 2u);
    QCOMPARE(window->BankTable().GetBankName(0), QStringLiteral("PIANO"));
    QCOMPARE(status.banks[0].priority, 70);
    QCOMPARE(window->BankTable().GetBankName(1), QStringLiteral("PADS"));
    QCOMPARE(status.banks[1].priority, 5);
    QCOMPARE(window->windowTitle(), QStringLiteral("Korvane - [live.pre]"));
    QCOMPARE(StaticText(window.get(), 1027), QStringLiteral(" 12.0 Ko"));
    for (QWidget* topLevel : QApplication::topLevelWidgets())
        QVERIFY2(!qobject_cast<CLoadProgressDlg*>(topLevel), "the progress window is gone");
}

void MainWindowTest::trayDisplayModeKeepsTheWindowHidden()
{
    WriteOptions(QString(), COptions::DisplayTrayIcon);
    CFakeNotificationIcon notificationArea;
    auto window = StartWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 2000);
    window->OnRestoreWindow();
    QVERIFY(window->isVisible());
}

void MainWindowTest::ClickMidiMapping(CKorvaneDlg& window, bool withTemplate,
                                      const QString& reportPath)
{
    const QString programDir = m_dir->filePath("program");
    QVERIFY(QDir().mkpath(programDir));
    QFile::remove(programDir + "/krv.mas");
    if (withTemplate) {
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/krv.mas",
                            programDir + "/krv.mas"));
    }
    const QString previousDir = CExecutableDir::Path();
    CExecutableDir::Override(programDir);
    CScriptedFileDialog dialog;
    dialog.Script(reportPath);
    auto* button = qobject_cast<QAbstractButton*>(CDialogBuilder::GetDlgItem(&window, 1007));
    QVERIFY(button);
    button->click();
    CExecutableDir::Override(previousDir);
    QCOMPARE(dialog.Requests().size(), size_t{1});
    const FileDialogRequest& request = dialog.Requests()[0];
    QVERIFY(!request.open);
    QCOMPARE(request.fileName, QStringLiteral("No-preset Mode"));
    QCOMPARE(request.defaultExt, QStringLiteral("*.htm"));
    QCOMPARE(request.filter, QStringLiteral("HTML files (*.htm)|*.htm|"));
    QVERIFY(request.parent == nullptr);
}

void MainWindowTest::midiMappingWritesTheReportChosenInTheSaveDialog()
{
    auto window = StartWindow();
    const QString reportPath = m_dir->filePath("mapping.htm");
    ClickMidiMapping(*window, true, reportPath);
    QVERIFY(m_messages->Calls().empty());
    QFile report(reportPath);
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(report.readAll());
    QVERIFY(text.startsWith("<!DOCTYPE html>"));
    QVERIFY(text.contains("<span class=\"preset\">NO-PRESET MODE</span>"));
    QVERIFY(text.contains("<h2> MIDI mappings</h2>"));
    QVERIFY(!text.contains("[IDS_"));
}

void MainWindowTest::midiMappingCancelledOrFailedLeavesNoReport()
{
    auto window = StartWindow();
    ClickMidiMapping(*window, true, QString());
    QVERIFY(m_messages->Calls().empty());

    const QString reportPath = m_dir->filePath("mapping.htm");
    ClickMidiMapping(*window, false, reportPath);
    QVERIFY(!QFile::exists(reportPath));
    QCOMPARE(m_messages->Calls().size(), size_t{1});
    const CRecordingMessageBox::Call& message = m_messages->Calls()[0];
    QCOMPARE(message.text, "Unable to write the MIDI mapping report: " +
                               m_dir->filePath("program/krv.mas") + ": No such file");
    QCOMPARE(message.caption, QStringLiteral("Error"));
    QCOMPARE(message.owner, static_cast<QWidget*>(window.get()));
    QDir dir(m_dir->path());
    QCOMPARE(dir.entryList({"*.htm*"}, QDir::Files), QStringList());
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
