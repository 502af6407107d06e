// The display modes of the main window over a fake notification area: the window hidden in
// tray mode, the tray menu bringing it back and ending the program, the Options dialog
// switching modes, and a desktop without a notification area never leaving the user without
// a window.
#include "Commands.h"
#include "DialogBuilder.h"
#include "FakeNotificationIcon.h"
#include "ModalWatcher.h"
#include "OptionsDlg.h"
#include "ScriptedFileDialog.h"
#include "WindowTestBed.h"

#include <QAbstractButton>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kTrayIcon = 131;
constexpr int IDOK = 1;
constexpr int IDC_BROWSE = 3;
constexpr int IDC_TRAY_ICON = 1002;
constexpr int IDC_STANDARD_DISPLAY = 1005;
constexpr int IDC_LOAD_PRESET = 1028;

void ClickItem(QWidget* dialog, int id)
{
    if (auto* button = qobject_cast<QAbstractButton*>(CDialogBuilder::GetDlgItem(dialog, id)))
        button->click();
}

// What the test did in the Options dialog, for the test to check once it has closed.
struct OptionsRun
{
    bool seen = false;
    bool accepted = false;
};

// Runs ? > Options and clicks the given controls of the dialog, then OK.
OptionsRun ChooseInOptions(CKorvaneDlg& window, const QList<int>& clicks)
{
    OptionsRun run;
    CModalWatcher watcher;
    watcher.WhenModalOpens([&run, clicks](QWidget* modal) {
        auto* dialog = qobject_cast<COptionsDlg*>(modal);
        if (!dialog)
            return;
        run.seen = true;
        for (int id : clicks)
            ClickItem(dialog, id);
        ClickItem(dialog, IDOK);
        run.accepted = dialog->result() == QDialog::Accepted;
    });
    window.OnCommand(Command::Options);
    return run;
}

// Runs the window modally and, once it has hidden itself, chooses Exit in the tray menu. A
// window that does not hide within ten seconds is rejected, which fails the caller's check.
int RunThenExitFromTray(CKorvaneDlg& window, CFakeNotificationIcon& desktop)
{
    desktop.ScriptChoice(Command::TrayExit);
    QTimer poll;
    int triesLeft = 500;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        if (window.isVisible() && --triesLeft > 0)
            return;
        poll.stop();
        if (window.isVisible())
            window.reject();
        else
            desktop.Click(kTrayIcon, TrayMouse::RightButtonUp);
    });
    poll.start(20);
    return window.RunModal();
}

} // namespace

class TrayWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void standardDisplayAddsTheIconAndTakesItAway();
    void trayModeHidesTheWindowUntilTheTrayMenuBringsItBack();
    void trayMenuEndsTheProgramLikePresetExit();
    void optionsSwitchTheDisplayModeBackAndForth();
    void withoutNotificationAreaTheWindowStays();
    void notificationAreaThatComesLaterIsUsedAndItsLossShowsTheWindow();
    void aUserSessionFromNewToTrayAndBack();

private:
    std::unique_ptr<CWindowTestBed> m_bed;
};

void TrayWindowTest::init()
{
    m_bed = std::make_unique<CWindowTestBed>();
    QVERIFY2(m_bed->Problem().isEmpty(), qPrintable(m_bed->Problem()));
}

void TrayWindowTest::cleanup()
{
    m_bed.reset();
}

void TrayWindowTest::standardDisplayAddsTheIconAndTakesItAway()
{
    CFakeNotificationIcon desktop;
    auto window = m_bed->StartWindow();
    QCOMPARE(desktop.Adds(), 1);
    QCOMPARE(desktop.Deletes(), 1);
    QVERIFY(!desktop.Find(kTrayIcon));
    QVERIFY(window->TrayIcon().IsEnabled());
    // Minimizing in standard display minimizes.
    window->OnSysCommand(CKorvaneDlg::SysCommand::Minimize);
    QVERIFY(window->isMinimized());
    QVERIFY(window->isVisible());
}

void TrayWindowTest::trayModeHidesTheWindowUntilTheTrayMenuBringsItBack()
{
    CWindowTestBed::WriteOptions(QString(), COptions::DisplayTrayIcon);
    CFakeNotificationIcon desktop;
    auto window = m_bed->StartWindow();
    const NotificationIcon* icon = desktop.Find(kTrayIcon);
    QVERIFY(icon);
    QCOMPARE(icon->tip, QStringLiteral("Korvane"));
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);

    // "KRV" from the menu.
    desktop.ScriptChoice(Command::TrayRestoreWindow);
    QVERIFY(desktop.Click(kTrayIcon, TrayMouse::RightButtonUp));
    QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 5000);
    QCOMPARE(desktop.Menus().size(), size_t{1});

    // The desktop minimizes the window: it is hidden instead.
    window->setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);

    // A double click brings it back at its normal size.
    QVERIFY(desktop.Click(kTrayIcon, TrayMouse::LeftDoubleClick));
    QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 5000);
    QVERIFY(!window->isMinimized());
    QCOMPARE(desktop.Menus().size(), size_t{1});
}

void TrayWindowTest::trayMenuEndsTheProgramLikePresetExit()
{
    CWindowTestBed::WriteOptions(QString(), COptions::DisplayTrayIcon);
    CFakeNotificationIcon desktop;
    auto window = m_bed->StartWindow();
    window->OnCommand(Command::PresetNew);
    m_bed->Messages().Script(Id::No);
    // The run goes on while the window is hidden, until Exit in the tray menu.
    QCOMPARE(RunThenExitFromTray(*window, desktop), int(QDialog::Accepted));
    // The modified new preset was asked about, as by Preset > Exit.
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{1});
    QCOMPARE(m_bed->Messages().PendingAnswers(), 0);
}

void TrayWindowTest::optionsSwitchTheDisplayModeBackAndForth()
{
    CFakeNotificationIcon desktop;
    auto window = m_bed->StartWindow();
    for (int round = 1; round <= 3; ++round) {
        const OptionsRun toTray = ChooseInOptions(*window, {IDC_TRAY_ICON});
        QVERIFY(toTray.seen && toTray.accepted);
        QVERIFY(desktop.Find(kTrayIcon));
        QCOMPARE(desktop.Adds(), round + 1);
        QVERIFY(!window->isVisible());
        QCOMPARE(window->Options().GetDisplay(), COptions::DisplayTrayIcon);

        window->OnCommand(Command::TrayRestoreWindow);
        QVERIFY(window->isVisible());
        // The mode already in force leaves the icon alone.
        QVERIFY(ChooseInOptions(*window, {IDC_TRAY_ICON}).accepted);
        QCOMPARE(desktop.Adds(), round + 1);
        window->OnCommand(Command::TrayRestoreWindow);

        const OptionsRun toStandard = ChooseInOptions(*window, {IDC_STANDARD_DISPLAY});
        QVERIFY(toStandard.seen && toStandard.accepted);
        QVERIFY(!desktop.Find(kTrayIcon));
        QCOMPARE(desktop.Deletes(), round + 1);
        QVERIFY(window->isVisible());
        QCOMPARE(window->Options().GetDisplay(), COptions::DisplayStandard);
    }
    QVERIFY(m_bed->Messages().Calls().empty());
}

void TrayWindowTest::withoutNotificationAreaTheWindowStays()
{
    CWindowTestBed::WriteOptions(QString(), COptions::DisplayTrayIcon);
    CFakeNotificationIcon desktop(false);
    auto window = m_bed->StartWindow();
    // A paint is where a window meant to stay hidden hides itself.
    window->grab();
    QCoreApplication::sendPostedEvents();
    QVERIFY(window->isVisible());
    QVERIFY(!window->TrayIcon().IsEnabled());
    // Minimizing minimizes, since there is no icon to come back from.
    window->OnSysCommand(CKorvaneDlg::SysCommand::Minimize);
    QVERIFY(window->isMinimized());
    QVERIFY(window->isVisible());
    window->OnRestoreWindow();

    // Choosing tray mode keeps the window, says why, and keeps the choice for later.
    QVERIFY(ChooseInOptions(*window, {IDC_TRAY_ICON}).accepted);
    QVERIFY(window->isVisible());
    QCOMPARE(window->Options().GetDisplay(), COptions::DisplayTrayIcon);
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{1});
    QCOMPARE(m_bed->Messages().Calls()[0].text,
             QStringLiteral("The desktop has no notification area: the window stays open."));
    QCOMPARE(desktop.Adds(), 0);
}

// The desktop's panel starts after the program: tray mode can be chosen without a word, and
// when the panel goes away the hidden window comes back.
void TrayWindowTest::notificationAreaThatComesLaterIsUsedAndItsLossShowsTheWindow()
{
    CFakeNotificationIcon desktop(false);
    auto window = m_bed->StartWindow();
    desktop.SetAvailable(true);
    QVERIFY(ChooseInOptions(*window, {IDC_TRAY_ICON}).accepted);
    QVERIFY(m_bed->Messages().Calls().empty());
    QVERIFY(desktop.Find(kTrayIcon));
    QVERIFY(!window->isVisible());
    desktop.SetAvailable(false);
    QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 5000);
    QVERIFY(!desktop.Find(kTrayIcon));

    // Standard display hides the icon and stops the watch: an area that comes back does not
    // get the icon.
    QVERIFY(desktop.WatchesArea());
    QVERIFY(ChooseInOptions(*window, {IDC_STANDARD_DISPLAY}).accepted);
    QVERIFY(!desktop.WatchesArea());
    desktop.SetAvailable(true);
    QCoreApplication::processEvents();
    QVERIFY(!desktop.Find(kTrayIcon));
}

// New, banks, Save as, quit; a restart with that preset from the Options dialog in tray
// mode; back from the tray menu; exit from the tray menu.
void TrayWindowTest::aUserSessionFromNewToTrayAndBack()
{
    const QString banks = m_bed->MakePreset("banks.pre", {"PIANO", "PADS"});
    const QString mine = m_bed->Path("mine.pre");
    CFakeNotificationIcon desktop;
    CScriptedFileDialog files;
    {
        auto window = m_bed->StartWindow();
        window->OnCommand(Command::PresetNew);
        files.Script(banks);
        window->OnCommand(Command::PresetOpen);
        files.Script(mine);
        window->OnCommand(Command::PresetSaveAs);
        QCOMPARE(window->windowTitle(), QStringLiteral("Korvane - [mine.pre]"));
        files.Script(mine);
        const OptionsRun run =
            ChooseInOptions(*window, {IDC_LOAD_PRESET, IDC_BROWSE, IDC_TRAY_ICON});
        QVERIFY(run.accepted);
        QCOMPARE(window->Options().GetStartupPreset(), mine);
        QVERIFY(!window->isVisible());
        window->OnCommand(Command::TrayExit);
    }
    QVERIFY(m_bed->Messages().Calls().empty());

    auto window = m_bed->StartWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Korvane - [mine.pre]"));
    QCOMPARE(window->BankTable().Status().bankCount, 2u);
    QVERIFY(desktop.Find(kTrayIcon));
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
    desktop.ScriptChoice(Command::TrayRestoreWindow);
    QVERIFY(desktop.Click(kTrayIcon, TrayMouse::RightButtonUp));
    QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 5000);
    desktop.ScriptChoice(Command::TrayExit);
    QTimer::singleShot(0, window.get(),
                       [&desktop] { desktop.Click(kTrayIcon, TrayMouse::RightButtonUp); });
    QCOMPARE(window->RunModal(), int(QDialog::Accepted));
    QVERIFY(m_bed->Messages().Calls().empty());
}

QTEST_MAIN(TrayWindowTest)
#include "TrayWindowTest.moc"
