// The Preset menu in the main window as the user sees it: the title through the preset's
// states, the memory figures after an Open, and the question asked when quitting.
#include "CardChoice.h"
#include "Commands.h"
#include "DialogBuilder.h"
#include "MenuBuilder.h"
#include "RecentPresets.h"
#include "ScriptedFileDialog.h"
#include "WindowTestBed.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

QString UsedMemory(const QWidget* window)
{
    const auto* label = qobject_cast<const QLabel*>(CDialogBuilder::GetDlgItem(window, 1027));
    return label ? label->text() : QStringLiteral("<no static 1027>");
}

QString Title(const QString& name)
{
    return QStringLiteral("Korvane - [%1]").arg(name);
}

// Chooses a command from the window's menu bar, as the user does.
void Choose(CKorvaneDlg& window, int command)
{
    QAction* action = CMenuBuilder::FindCommand(window.MenuBar(), command);
    QVERIFY2(action, qPrintable(QString::number(command)));
    action->trigger();
}

} // namespace

class PresetWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void titleFollowsThePresetThroughItsStates();
    void openShowsTheBanksOfTheChosenPreset();
    void trayLoadPresetOpensLikePresetOpen();
    void recentPresetsAreListedInTheNextRunAndOpen();
    void unusablePresetLeavesTheCardOnEveryPath();
    void quitAsksOnlyForAModifiedNamedOrNewPreset_data();
    void quitAsksOnlyForAModifiedNamedOrNewPreset();

private:
    std::unique_ptr<CWindowTestBed> m_bed;
};

void PresetWindowTest::init()
{
    m_bed = std::make_unique<CWindowTestBed>();
    QVERIFY2(m_bed->Problem().isEmpty(), qPrintable(m_bed->Problem()));
}

void PresetWindowTest::cleanup()
{
    m_bed.reset();
}

void PresetWindowTest::titleFollowsThePresetThroughItsStates()
{
    auto window = m_bed->StartWindow();
    CScriptedFileDialog files;
    QCOMPARE(window->windowTitle(), Title("No-preset Mode"));
    Choose(*window, Command::PresetSave);
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{1});
    QCOMPARE(m_bed->Messages().Calls()[0].text,
             QStringLiteral("Unable to save in No-preset Mode."));
    QVERIFY(files.Requests().empty());

    Choose(*window, Command::PresetNew);
    QCOMPARE(window->windowTitle(), Title("Untitled"));
    files.Script(m_bed->Path("first.pre"));
    Choose(*window, Command::PresetSave);
    QCOMPARE(files.Requests().size(), size_t{1});
    QVERIFY(!files.Requests()[0].open);
    QCOMPARE(window->windowTitle(), Title("first.pre"));

    files.Script(m_bed->Path("second"));
    Choose(*window, Command::PresetSaveAs);
    QCOMPARE(window->windowTitle(), Title("second.pre"));
    QVERIFY(QFile::exists(m_bed->Path("first.pre")));
    QVERIFY(QFile::exists(m_bed->Path("second.pre")));
    // Save as cancelled: same name.
    Choose(*window, Command::PresetSaveAs);
    QCOMPARE(window->windowTitle(), Title("second.pre"));
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{1});
}

void PresetWindowTest::openShowsTheBanksOfTheChosenPreset()
{
    const QString preset = m_bed->MakePreset("live.pre", {"PIANO", "PADS"});
    auto window = m_bed->StartWindow();
    CScriptedFileDialog files;
    Choose(*window, Command::PresetOpen);
    QCOMPARE(window->windowTitle(), Title("No-preset Mode"));

    files.Script(preset);
    Choose(*window, Command::PresetOpen);
    QCOMPARE(window->windowTitle(), Title("live.pre"));
    QCOMPARE(window->BankTable().Status().bankCount, 2u);
    QCOMPARE(UsedMemory(window.get()), QStringLiteral(" 16.0 Ko"));

    // A preset that has gone changes nothing: the banks and the title stay.
    files.Script(m_bed->Path("gone.pre"));
    Choose(*window, Command::PresetOpen);
    QCOMPARE(window->windowTitle(), Title("live.pre"));
    QCOMPARE(UsedMemory(window.get()), QStringLiteral(" 16.0 Ko"));
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{1});
}

// The Preset menu lists the presets opened in the last run, the newest first, and opens the
// one chosen; the places without a preset are hidden.
void PresetWindowTest::recentPresetsAreListedInTheNextRunAndOpen()
{
    const QString piano = m_bed->MakePreset("piano & co.pre", {"PIANO"});
    const QString pads = m_bed->MakePreset("pads.pre", {"PADS", "STRINGS"});
    {
        auto lastRun = m_bed->StartWindow();
        CScriptedFileDialog files;
        for (const QString& preset : {piano, pads}) {
            files.Script(preset);
            Choose(*lastRun, Command::PresetOpen);
        }
    }
    auto window = m_bed->StartWindow();
    QMenu* presetMenu = window->MenuBar()->actions().at(0)->menu();
    emit presetMenu->aboutToShow();
    QStringList shown;
    for (int place = 0; place < 4; ++place) {
        const QAction* item = CMenuBuilder::FindCommand(presetMenu, Command::RecentPreset1 + place);
        QVERIFY(item);
        if (item->isVisible())
            shown << item->text();
    }
    QCOMPARE(shown.size(), 2);
    QVERIFY2(shown[0].startsWith("&1 ") && shown[0].endsWith("/pads.pre"), qPrintable(shown[0]));
    QVERIFY2(shown[1].startsWith("&2 ") && shown[1].endsWith("/piano && co.pre"),
             qPrintable(shown[1]));

    Choose(*window, Command::RecentPreset1 + 1);
    QCOMPARE(window->windowTitle(), Title("piano & co.pre"));
    QCOMPARE(window->BankTable().Status().bankCount, 1u);
    QVERIFY(m_bed->Messages().Calls().empty());
}

// Whichever way a preset that cannot be used reaches the window, the card keeps its banks
// and the user is told once, with the file named.
void PresetWindowTest::unusablePresetLeavesTheCardOnEveryPath()
{
    const QString kept = m_bed->MakePreset("kept.pre", {"PIANO", "PADS"});
    QFile garbage(m_bed->Path("garbage.pre"));
    QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write("x\n") == 2);
    garbage.close();
    QFile zeros(m_bed->Path("zeros.pre"));
    QVERIFY(zeros.open(QIODevice::WriteOnly) && zeros.resize(1 << 20));
    zeros.close();
    QFile nine(m_bed->Path("nine banks.pre"));
    QVERIFY(nine.open(QIODevice::WriteOnly) && nine.write(QByteArray("\x09\0\0\0", 4)) == 4);
    nine.close();
    QVERIFY(QDir().mkdir(m_bed->Path("folder.pre")));
    const QStringList unusable = {m_bed->Path("gone.pre"), garbage.fileName(), zeros.fileName(),
                                  nine.fileName(), m_bed->Path("folder.pre")};
    const std::function<void(CKorvaneDlg&, const QString&)> paths[] = {
        [](CKorvaneDlg& window, const QString& preset) {
            CScriptedFileDialog files;
            files.Script(preset);
            Choose(window, Command::PresetOpen);
        },
        [](CKorvaneDlg& window, const QString& preset) {
            CScriptedFileDialog files;
            files.Script(preset);
            window.OnCommand(Command::TrayLoadPreset);
        },
        [](CKorvaneDlg& window, const QString& preset) { window.OpenFile(preset); },
        [](CKorvaneDlg& window, const QString& preset) {
            CRecentPresets(CCardChoice::DefaultSettingsPath()).Add(preset);
            window.OnCommand(Command::RecentPreset1);
        },
    };
    for (const QString& preset : unusable) {
        for (const auto& open : paths) {
            auto window = m_bed->StartWindow();
            window->OpenFile(kept);
            const size_t shown = m_bed->Messages().Calls().size();
            open(*window, preset);
            QVERIFY2(m_bed->Messages().Calls().size() == shown + 1, qPrintable(preset));
            const QString message = m_bed->Messages().Calls().back().text;
            QVERIFY2(message.endsWith(preset), qPrintable(message));
            QCOMPARE(window->BankTable().Status().bankCount, 2u);
            QCOMPARE(window->windowTitle(), Title("kept.pre"));
        }
        // The start-up preset of the next run: the window still starts, and one that cannot
        // be opened is said to be dropped.
        CWindowTestBed::WriteOptions(preset, COptions::DisplayStandard);
        const size_t shown = m_bed->Messages().Calls().size();
        auto window = m_bed->StartWindow();
        const bool opens = QFileInfo(preset).isFile();
        QCOMPARE(m_bed->Messages().Calls().size(), shown + (opens ? 1 : 2));
        QVERIFY(m_bed->Messages().Calls().back().text.endsWith(preset));
        QCOMPARE(window->BankTable().Status().bankCount, 2u);
        QVERIFY(window->isVisible());
        QVERIFY(QFile::remove(COptions::ProgramFile()));
    }
}

void PresetWindowTest::trayLoadPresetOpensLikePresetOpen()
{
    const QString preset = m_bed->MakePreset("tray.pre", {"DRUMS"});
    auto window = m_bed->StartWindow();
    CScriptedFileDialog files;
    files.Script(preset);
    window->OnCommand(Command::TrayLoadPreset);
    QCOMPARE(window->windowTitle(), Title("tray.pre"));
    QCOMPARE(window->BankTable().Status().bankCount, 1u);
    // The tray menu's "Unload current preset" does nothing.
    window->OnCommand(Command::TrayUnloadPreset);
    QCOMPARE(window->BankTable().Status().bankCount, 1u);
    QCOMPARE(window->windowTitle(), Title("tray.pre"));
}

void PresetWindowTest::quitAsksOnlyForAModifiedNamedOrNewPreset_data()
{
    QTest::addColumn<bool>("startNew");
    QTest::addColumn<bool>("saveFirst");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveAs");
    QTest::addColumn<bool>("asked");
    QTest::newRow("No-preset Mode") << false << false << 0 << QString() << false;
    QTest::newRow("saved preset") << true << true << 0 << QString() << false;
    QTest::newRow("new preset, No") << true << false << int(Id::No) << QString() << true;
    QTest::newRow("new preset, Yes, Save as cancelled")
        << true << false << int(Id::Yes) << QString() << true;
    QTest::newRow("new preset, Yes, saved") << true << false << int(Id::Yes) << "kept.pre" << true;
}

void PresetWindowTest::quitAsksOnlyForAModifiedNamedOrNewPreset()
{
    QFETCH(bool, startNew);
    QFETCH(bool, saveFirst);
    QFETCH(int, answer);
    QFETCH(QString, saveAs);
    QFETCH(bool, asked);
    auto window = m_bed->StartWindow();
    CScriptedFileDialog files;
    if (startNew)
        window->OnCommand(Command::PresetNew);
    if (saveFirst) {
        files.Script(m_bed->Path("saved.pre"));
        window->OnCommand(Command::PresetSaveAs);
    }
    if (answer != 0)
        m_bed->Messages().Script(answer);
    if (!saveAs.isEmpty())
        files.Script(m_bed->Path(saveAs));
    const size_t dialogsBefore = files.Requests().size();

    QTimer::singleShot(0, window.get(), [&window] { Choose(*window, Command::PresetExit); });
    QCOMPARE(window->RunModal(), int(QDialog::Accepted));

    const auto& calls = m_bed->Messages().Calls();
    QCOMPARE(calls.size(), size_t(asked ? 1 : 0));
    if (asked) {
        QCOMPARE(calls[0].text, QStringLiteral("Presest is modified. Do you want to save it ?"));
        QCOMPARE(calls[0].type, unsigned(Mb::YesNo | Mb::IconQuestion));
        QCOMPARE(calls[0].owner, static_cast<QWidget*>(window.get()));
    }
    QCOMPARE(files.Requests().size() - dialogsBefore, size_t(answer == Id::Yes ? 1 : 0));
    const QStringList expected = QStringList{saveFirst ? "saved.pre" : "", saveAs}.filter(".pre");
    QCOMPARE(QDir(m_bed->Path(".")).entryList({"*.pre"}, QDir::Files), expected);
}

QTEST_MAIN(PresetWindowTest)
#include "PresetWindowTest.moc"
