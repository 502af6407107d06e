// The main window on a real X display with a window manager, its notification area started
// and stopped by the test (run by with-tray-desktop.sh --window-manager --no-tray): minimize
// in tray mode, a notification area that comes late and goes, Escape, a card changed by
// another process, the program itself started again and again and many times at once, and
// its icon in a StatusNotifierItem host on a bus of the test's own.
#include "Commands.h"
#include "ExecutableDir.h"
#include "ScriptedFileDialog.h"
#include "StatusNotifierHost.h"
#include "WindowTestBed.h"
#include "XDesktop.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int kTimeoutMs = CXDesktop::TimeoutMs;
constexpr int kName = 1;
const char* const kSwapBank = "--swap-bank";

QRect DockedIcon()
{
    return CXDesktop::DockedIcon(QCoreApplication::applicationName());
}

QString CellText(CKorvaneDlg& window, int col, long row)
{
    QString text;
    window.BankGrid().GetCellText(col, row, text);
    return text;
}

// Whether the screen shows the window as the window paints itself: a window that the
// desktop maps but the program never paints shows black, or what was there before.
bool ScreenShowsTheWindow(QWidget& window)
{
    const QRect area = window.geometry();
    const QImage screen =
        window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    const QImage own = window.grab().toImage().convertToFormat(screen.format());
    if (screen.size() != own.size())
        return false;
    qsizetype same = 0;
    for (int y = 0; y < own.height(); ++y) {
        for (int x = 0; x < own.width(); ++x)
            same += screen.pixel(x, y) == own.pixel(x, y) ? 1 : 0;
    }
    return same * 10 >= qsizetype(own.width()) * own.height() * 9;
}

// Counts the timer events that reach the program while it lives: each one is a wake-up.
class CTimerEvents : public QObject
{
public:
    CTimerEvents() { qApp->installEventFilter(this); }
    ~CTimerEvents() override { qApp->removeEventFilter(this); }
    int Count() const { return m_count; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        m_count += event->type() == QEvent::Timer ? 1 : 0;
        return false;
    }

private:
    int m_count = 0;
};

// The other process of the card test: unloads the bank in a slot of the card and loads a
// bank file in its place.
int SwapBank(uint16_t id, const char* bankFile)
{
    CSharedSynthLibrary card(QStringLiteral(KORVANE_CARD_LIBRARY));
    card.SynthUnloadBank(id);
    return card.SynthLoadBank(bankFile) == id ? 0 : 1;
}

} // namespace

class DesktopWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void minimizeInTrayModeHidesAndTheIconBringsTheWindowBackPainted();
    void lateNotificationAreaGetsTheIconAndItsLossShowsTheWindow();
    void escapeAsksAboutAModifiedPreset();
    void viewFollowsAnotherProcessChangingTheCard();
    void programKeepsTheBanksAfterAFirstRunAndASecondStartRaisesTheFirst();
    void startsAtTheSameMomentGiveOneWindow();
    void statusNotifierHostGetsTheWindowBackWithOneActivationAndTheMenu();

private:
    // The program copied into the test's directory, where it finds its options file and its
    // card library, with a runtime directory of the test's own.
    void CopyProgram();
    void PrepareProgram(QProcess& program);
    // Starts the program, waits for its window and returns its X id, 0 when none came.
    quintptr StartProgram(QProcess& program);
    // The X ids of the program's windows that are shown.
    static QStringList ShownWindows(const QProcess& program);

    std::unique_ptr<CWindowTestBed> m_bed;
    CXDesktop m_desktop;
};

void DesktopWindowTest::initTestCase()
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        QSKIP("needs an X display with a window manager: run through with-tray-desktop.sh");
}

void DesktopWindowTest::init()
{
    m_bed = std::make_unique<CWindowTestBed>();
    QVERIFY2(m_bed->Problem().isEmpty(), qPrintable(m_bed->Problem()));
}

void DesktopWindowTest::cleanup()
{
    m_desktop.StopNotificationArea();
    QTRY_VERIFY_WITH_TIMEOUT(!QSystemTrayIcon::isSystemTrayAvailable(), kTimeoutMs);
    m_bed.reset();
}

void DesktopWindowTest::minimizeInTrayModeHidesAndTheIconBringsTheWindowBackPainted()
{
    m_desktop.StartNotificationArea();
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), kTimeoutMs);
    CWindowTestBed::WriteOptions(QString(), COptions::DisplayTrayIcon);
    auto window = m_bed->StartWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!DockedIcon().isEmpty(), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), kTimeoutMs);
    const quintptr id = window->winId();

    for (int round = 1; round <= 2; ++round) {
        CXDesktop::Click(DockedIcon().center(), Qt::LeftButton, 2);
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible() && CXDesktop::IsViewable(id), kTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(ScreenShowsTheWindow(*window), kTimeoutMs);

        CXDesktop::Minimize(id);
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), kTimeoutMs);
        // The window must stay away, not come back as an unpainted frame.
        QTest::qWait(500);
        QVERIFY2(!CXDesktop::IsViewable(id), qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

void DesktopWindowTest::lateNotificationAreaGetsTheIconAndItsLossShowsTheWindow()
{
    CWindowTestBed::WriteOptions(QString(), COptions::DisplayTrayIcon);
    auto window = m_bed->StartWindow();
    const quintptr id = window->winId();
    QTRY_VERIFY_WITH_TIMEOUT(CXDesktop::IsViewable(id), kTimeoutMs);

    m_desktop.StartNotificationArea();
    QTRY_VERIFY_WITH_TIMEOUT(!DockedIcon().isEmpty(), kTimeoutMs);
    CXDesktop::Minimize(id);
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible() && !CXDesktop::IsViewable(id), kTimeoutMs);

    m_desktop.StopNotificationArea();
    QTRY_VERIFY_WITH_TIMEOUT(window->isVisible() && CXDesktop::IsViewable(id), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(ScreenShowsTheWindow(*window), kTimeoutMs);
}

void DesktopWindowTest::escapeAsksAboutAModifiedPreset()
{
    const QString preset = m_bed->MakePreset(QStringLiteral("live.pre"), {"PIANO"});
    CWindowTestBed::WriteOptions(preset, COptions::DisplayStandard);
    auto window = m_bed->StartWindow();
    window->OnCommand(Command::UnloadAllBanks);
    QSignalSpy finished(window.get(), &QDialog::finished);
    window->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(window->isActiveWindow(), kTimeoutMs);

    m_bed->Messages().Script(Id::No);
    CXDesktop::Key(QStringLiteral("Escape"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kTimeoutMs);
    QCOMPARE(finished[0][0].toInt(), int(QDialog::Accepted));
    const auto& calls = m_bed->Messages().Calls();
    QCOMPARE(calls.size(), size_t{1});
    QCOMPARE(calls[0].text, QStringLiteral("Presest is modified. Do you want to save it ?"));
}

// The window sleeps while nothing happens (no timer of its own, nor one of the notification
// area in window display mode) and still sees the change at once.
void DesktopWindowTest::viewFollowsAnotherProcessChangingTheCard()
{
    m_bed->MakePreset(QStringLiteral("other.pre"), {"STRINGS"});
    const QString preset = m_bed->MakePreset(QStringLiteral("live.pre"), {"PIANO", "PADS"});
    CWindowTestBed::WriteOptions(preset, COptions::DisplayStandard);
    auto window = m_bed->StartWindow();
    QCOMPARE(CellText(*window, kName, 1), QStringLiteral("PADS"));
    QTRY_VERIFY_WITH_TIMEOUT(window->CardWatch().IsRunning(), kTimeoutMs);
    // The count starts once the new window has the focus: Qt's X connection sees the focus
    // leave where it was before it reaches the window, and waits for it with a 100 ms timer
    // of its own, which fires when a busy machine delays the window's focus event.
    QTRY_VERIFY_WITH_TIMEOUT(window->isActiveWindow(), kTimeoutMs);

    const CTimerEvents timers;
    QTest::qWait(1500);
    const int code = QProcess::execute(QCoreApplication::applicationFilePath(),
                                       {kSwapBank, "1", m_bed->Path("STRINGS.94b")});
    QCOMPARE(code, 0);
    QTRY_COMPARE_WITH_TIMEOUT(CellText(*window, kName, 1), QStringLiteral("STRINGS"), kTimeoutMs);
    QCOMPARE(CellText(*window, kName, 0), QStringLiteral("PIANO"));
    QCOMPARE(timers.Count(), 0);
}

void DesktopWindowTest::CopyProgram()
{
    QDir().mkpath(m_bed->Path("program"));
    QVERIFY(QFile::copy(QStringLiteral(KORVANE_PROGRAM), m_bed->Path("program/korvane")));
    QVERIFY(
        QFile::copy(QStringLiteral(KORVANE_CARD_LIBRARY), m_bed->Path("program/libsynth32.so")));
    const QString windowLibrary = QStringLiteral(KORVANE_WINDOW_LIBRARY);
    QVERIFY(QFile::copy(windowLibrary, m_bed->Path("program/" + windowLibrary.section(u'/', -1))));
    QDir().mkpath(m_bed->Path("run"));
    QFile::setPermissions(m_bed->Path("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void DesktopWindowTest::PrepareProgram(QProcess& program)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_bed->Path("run"));
    program.setProcessEnvironment(environment);
    program.setProgram(m_bed->Path("program/korvane"));
}

quintptr DesktopWindowTest::StartProgram(QProcess& program)
{
    PrepareProgram(program);
    program.start();
    if (!program.waitForStarted(kTimeoutMs))
        return 0;
    QStringList found;
    const bool shown = QTest::qWaitFor(
        [&] {
            found = ShownWindows(program);
            return !found.isEmpty();
        },
        kTimeoutMs);
    return shown ? found.value(0).toULongLong() : 0;
}

QStringList DesktopWindowTest::ShownWindows(const QProcess& program)
{
    return CXDesktop::Run(QStringLiteral("xdotool"),
                          {"search", "--onlyvisible", "--pid", QString::number(program.processId()),
                           "--name", "Korvane"})
        .split(u'\n', Qt::SkipEmptyParts);
}

// Start, a bank loaded by another program, Exit by Escape; the next start keeps the bank.
// Another start while that one runs minimized brings its window back and ends at once.
void DesktopWindowTest::programKeepsTheBanksAfterAFirstRunAndASecondStartRaisesTheFirst()
{
    CopyProgram();
    const QString bank = m_bed->Path("STRINGS.94b");
    m_bed->MakePreset(QStringLiteral("other.pre"), {"STRINGS"});
    {
        QProcess first;
        const quintptr id = StartProgram(first);
        QVERIFY(id != 0);
        QCOMPARE(QProcess::execute(QCoreApplication::applicationFilePath(), {kSwapBank, "0", bank}),
                 0);
        CXDesktop::Run(QStringLiteral("xdotool"),
                       {"windowactivate", "--sync", QString::number(id), "key", "Escape"});
        QVERIFY(first.waitForFinished(kTimeoutMs));
        QCOMPARE(first.exitCode(), 0);
    }
    QVERIFY(QFile::exists(m_bed->Path("program/krv.opt")));

    QProcess second;
    const quintptr id = StartProgram(second);
    QVERIFY(id != 0);
    CSharedSynthLibrary card(QStringLiteral(KORVANE_CARD_LIBRARY));
    SynthStatus status{};
    QCOMPARE(card.SynthGetStatus(&status), uint16_t{0});
    QCOMPARE(status.bankCount, 1u);

    CXDesktop::Minimize(id);
    QTRY_VERIFY_WITH_TIMEOUT(!CXDesktop::IsViewable(id), kTimeoutMs);
    QProcess third;
    PrepareProgram(third);
    third.start();
    QVERIFY(third.waitForFinished(kTimeoutMs));
    QCOMPARE(third.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(CXDesktop::IsViewable(id), kTimeoutMs);

    second.terminate();
    QVERIFY(second.waitForFinished(kTimeoutMs));
}

// Twenty starts at the same moment, over a socket left by a copy that was killed: one of
// them shows its window, every other one ends at once.
void DesktopWindowTest::startsAtTheSameMomentGiveOneWindow()
{
    constexpr int kStarts = 20;
    CopyProgram();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(m_bed->Path("run/korvane"));
    QVERIFY(size_t(socketPath.size()) < sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
    const int killed = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QCOMPARE(::bind(killed, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(killed);

    std::vector<std::unique_ptr<QProcess>> starts;
    for (int i = 0; i < kStarts; ++i) {
        starts.push_back(std::make_unique<QProcess>());
        PrepareProgram(*starts.back());
        starts.back()->start();
    }
    std::vector<QProcess*> running;
    for (auto& start : starts) {
        QVERIFY(start->waitForStarted(kTimeoutMs));
        if (!start->waitForFinished(3 * kTimeoutMs))
            running.push_back(start.get());
        else
            QCOMPARE(start->exitCode(), 0);
    }
    QCOMPARE(running.size(), size_t{1});
    QTRY_COMPARE_WITH_TIMEOUT(ShownWindows(*running[0]).size(), 1, kTimeoutMs);
    running[0]->terminate();
    QVERIFY(running[0]->waitForFinished(kTimeoutMs));
}

// As on GNOME and KDE: the icon registers with the host's watcher, one activation (a left
// click there) brings the hidden window back, the item is titled "Korvane", and its menu is
// exported, with Exit ending the program.
void DesktopWindowTest::statusNotifierHostGetsTheWindowBackWithOneActivationAndTheMenu()
{
    CStatusNotifierHost host;
    if (!host.Problem().isEmpty())
        QSKIP(qPrintable(host.Problem()));
    CopyProgram();
    // The options file beside the program's copy, where it looks for it.
    const QString testDir = CExecutableDir::Path();
    CExecutableDir::Override(m_bed->Path("program"));
    CWindowTestBed::WriteOptions(QString(), COptions::DisplayTrayIcon);
    CExecutableDir::Override(testDir);

    QProcess program;
    PrepareProgram(program);
    QProcessEnvironment environment = program.processEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), host.Address());
    program.setProcessEnvironment(environment);
    program.start();
    QVERIFY(program.waitForStarted(kTimeoutMs));
    QTRY_COMPARE_WITH_TIMEOUT(host.Items().size(), 1, kTimeoutMs);
    const QString item = host.Items().constFirst();
    QCOMPARE(host.ItemProperty(item, QStringLiteral("Title")).toString(),
             QStringLiteral("Korvane"));
    // The window is shown for its first paint and hidden just after it, which a slow machine
    // lets the test see.
    QTRY_VERIFY_WITH_TIMEOUT(ShownWindows(program).isEmpty(), kTimeoutMs);

    QVERIFY(host.Activate(item));
    QTRY_COMPARE_WITH_TIMEOUT(ShownWindows(program).size(), 1, kTimeoutMs);

    const std::map<QString, int> menu = host.Menu(item);
    const QStringList labels{"About", "Load a preset", "Unload current preset", "KRV", "Exit"};
    for (const QString& label : labels)
        QVERIFY2(menu.count(label) == 1, qPrintable(label));
    QVERIFY(host.ClickMenuItem(item, menu.at(QStringLiteral("Exit"))));
    QVERIFY(program.waitForFinished(kTimeoutMs));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], kSwapBank) == 0)
        return SwapBank(static_cast<uint16_t>(std::atoi(argv[2])), argv[3]);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korvane-desktop-test"));
    DesktopWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DesktopWindowTest.moc"
