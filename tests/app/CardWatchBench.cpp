// How the main window follows the card, measured. A benchmark, not a test: ctest does not
// run it; run it on a display (tests/ui/with-tray-desktop.sh --no-tray card_watch_bench).
//  1. An idle window on the simulated card against an idle minimal Qt dialog, each in a
//     process of its own for the same time: CPU time, and wake-ups as the voluntary context
//     switches (those forced on it by other programs are shown apart); then
//     how soon the window shows a bank that another process loads.
//  2. The window on a FluidSynth server of its own, reached through a relay that counts the
//     connections: while shown, while hidden, and how soon a stopped server is shown and a
//     restarted one followed again.
#include "BankFileWriter.h"
#include "CardChoice.h"
#include "FluidServer.h"
#include "WindowTestBed.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kSettleMs = 2000;
constexpr int kIdleSeconds = 60;
constexpr int kShownSeconds = 60;
constexpr int kHiddenSeconds = 30;
constexpr int kStopRounds = 5;
constexpr int kConnectMs = 1000;
const char* const kIdleWindow = "--idle-window";
const char* const kIdleDialog = "--idle-dialog";
const char* const kLoadBank = "--load-bank";
constexpr int kFollowRounds = 5;
constexpr uint32_t kBankSize = 8192;

struct Usage
{
    double cpuMs = 0;
    long wakeups = 0;
    long preempted = 0;
};

Usage Now()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3;
    };
    return {ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_nvcsw, usage.ru_nivcsw};
}

// What the main window shows, for the yardstick.
std::unique_ptr<QDialog> MinimalDialog()
{
    auto dialog = std::make_unique<QDialog>();
    auto* layout = new QVBoxLayout(dialog.get());
    auto* menuBar = new QMenuBar(dialog.get());
    menuBar->addMenu(QStringLiteral("&Bank"))->addAction(QStringLiteral("Load a bank"));
    layout->setMenuBar(menuBar);
    for (const char* text : {"Total", "Used", "Free", "Midi file"})
        layout->addWidget(new QLabel(QString::fromLatin1(text)));
    layout->addWidget(new QProgressBar);
    for (const char* text : {"Midi Mapping", "Play", "Stop"})
        layout->addWidget(new QPushButton(QString::fromLatin1(text)));
    return dialog;
}

// One idle process: shown, left alone to settle, then measured; prints
// "cpu-ms wakeups preempted".
int RunIdle(bool korvane, int seconds)
{
    CWindowTestBed bed;
    CWindowTestBed::WriteOptions(QString(), COptions::DisplayStandard);
    std::unique_ptr<QDialog> window;
    if (korvane)
        window = bed.StartWindow();
    else
        window = MinimalDialog();
    window->show();
    Usage start;
    QTimer::singleShot(kSettleMs, [&start] { start = Now(); });
    QTimer::singleShot(kSettleMs + seconds * 1000, qApp, &QCoreApplication::quit);
    QApplication::exec();
    const Usage end = Now();
    std::printf("%.1f %ld %ld\n", end.cpuMs - start.cpuMs, end.wakeups - start.wakeups,
                end.preempted - start.preempted);
    return 0;
}

Usage ReadUsage(QProcess& process)
{
    process.waitForFinished((kSettleMs + kIdleSeconds * 1000) * 2);
    Usage usage{-1, -1, -1};
    const QList<QByteArray> words = process.readAllStandardOutput().trimmed().split(' ');
    if (words.size() == 3)
        usage = {words[0].toDouble(), words[1].toLong(), words[2].toLong()};
    return usage;
}

void CompareIdle()
{
    QProcess window;
    QProcess dialog;
    const QString self = QCoreApplication::applicationFilePath();
    const QString seconds = QString::number(kIdleSeconds);
    window.start(self, {QString::fromLatin1(kIdleWindow), seconds});
    dialog.start(self, {QString::fromLatin1(kIdleDialog), seconds});
    const Usage korvane = ReadUsage(window);
    const Usage minimal = ReadUsage(dialog);
    std::printf("Idle for %d s on the simulated card (after %d ms to settle):\n", kIdleSeconds,
                kSettleMs);
    const auto line = [](const char* what, const Usage& usage) {
        std::printf("  %-18s %7.1f ms CPU  %5ld wake-ups  (%ld preempted)\n", what, usage.cpuMs,
                    usage.wakeups, usage.preempted);
    };
    line("minimal Qt dialog", minimal);
    line("korvane window", korvane);
    std::printf("  ratio              %7.2f x       %7.2f x\n",
                korvane.cpuMs / std::max(minimal.cpuMs, 0.1),
                double(korvane.wakeups) / double(std::max(minimal.wakeups, 1L)));
}

// Passes connections on to the server and counts them; while "down" it listens to nobody,
// so that a connection is refused at once, as by a stopped server.
class CCountingRelay : public QObject
{
public:
    explicit CCountingRelay(int serverPort) : m_serverPort(serverPort)
    {
        connect(&m_listener, &QTcpServer::newConnection, this, &CCountingRelay::Accept);
    }
    // On the port of the first listen, again after a close.
    bool Listen()
    {
        if (!m_listener.listen(QHostAddress::LocalHost, m_port))
            return false;
        m_port = m_listener.serverPort();
        return true;
    }
    void Close() { m_listener.close(); }
    quint16 Port() const { return m_port; }
    const std::vector<qint64>& Connections() const { return m_connections; }

private:
    void Accept()
    {
        while (QTcpSocket* client = m_listener.nextPendingConnection()) {
            m_connections.push_back(m_clock.elapsed());
            auto* server = new QTcpSocket(client);
            server->connectToHost(QHostAddress::LocalHost, quint16(m_serverPort));
            // The server is on this machine: what the client sends waits for no one.
            server->waitForConnected(kConnectMs);
            connect(client, &QTcpSocket::readyRead, server,
                    [client, server] { server->write(client->readAll()); });
            connect(server, &QTcpSocket::readyRead, client,
                    [client, server] { client->write(server->readAll()); });
            connect(client, &QTcpSocket::disconnected, server, &QTcpSocket::disconnectFromHost);
            connect(server, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
            connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        }
    }

    int m_serverPort;
    quint16 m_port = 0;
    QTcpServer m_listener;
    QElapsedTimer m_clock = [] {
        QElapsedTimer clock;
        clock.start();
        return clock;
    }();
    std::vector<qint64> m_connections;
};

void Wait(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Milliseconds until done says yes, -1 after timeoutMs.
template <typename Done> qint64 Until(Done done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return clock.elapsed();
}

// The other process: loads a bank into the card.
int LoadBank(const char* path)
{
    CSharedSynthLibrary card(QStringLiteral(KORVANE_CARD_LIBRARY));
    return card.SynthLoadBank(path) < MAX_BANKS ? 0 : 1;
}

// From the card's state file written by another process to the list showing the bank.
void MeasureFollow()
{
    CWindowTestBed bed;
    CWindowTestBed::WriteOptions(QString(), COptions::DisplayStandard);
    auto window = bed.StartWindow();
    Wait(kSettleMs);
    const QFileInfo state(qEnvironmentVariable("KORVANE_CARD_STATE"));
    std::printf("A bank loaded by another process, shown after (ms):");
    for (int round = 0; round < kFollowRounds; ++round) {
        const QString name = QStringLiteral("BANK%1").arg(round);
        const QString path = bed.Path(name + QStringLiteral(".94b"));
        CBankFileWriter writer(name.toStdString());
        writer.AddInstrument(0, 0);
        writer.SetSize(kBankSize);
        writer.Write(path.toStdString());
        QProcess::execute(QCoreApplication::applicationFilePath(),
                          {QString::fromLatin1(kLoadBank), path});
        QString shown;
        const bool seen = Until(
                              [&] {
                                  window->BankGrid().GetCellText(CBankGrid::ColName, round, shown);
                                  return shown == name;
                              },
                              5000) >= 0;
        const qint64 changed = QFileInfo(state.filePath()).lastModified().toMSecsSinceEpoch();
        std::printf(" %lld",
                    seen ? static_cast<long long>(QDateTime::currentMSecsSinceEpoch() - changed)
                         : -1LL);
    }
    std::printf("\n");
}

// The connections from the one numbered from on, and the shortest gap between two of them.
void ReportConnections(const char* what, const std::vector<qint64>& times, size_t from, int seconds)
{
    qint64 shortest = -1;
    for (size_t i = from + 1; i < times.size(); ++i)
        shortest =
            shortest < 0 ? times[i] - times[i - 1] : std::min(shortest, times[i] - times[i - 1]);
    std::printf("  %-7s %3d s: %3zu connections, shortest gap %lld ms\n", what, seconds,
                times.size() - from, static_cast<long long>(shortest));
}

int CompareServer()
{
    CFluidServer server;
    if (!server.Start()) {
        std::fprintf(stderr, "cannot start fluidsynth\n");
        return 1;
    }
    CCountingRelay relay(server.Port());
    if (!relay.Listen())
        return 1;
    CWindowTestBed bed;
    CWindowTestBed::WriteOptions(QString(), COptions::DisplayStandard);
    CCardChoice choice;
    choice.SetCardKind(CCardChoice::Kind::FluidSynth);
    choice.SetServerAddress(QStringLiteral("127.0.0.1:%1").arg(relay.Port()));
    choice.OpenLibrary(bed.Library(), QFileInfo(QStringLiteral(KORVANE_CARD_LIBRARY)).path());
    auto window = bed.StartWindow();

    std::printf("The window on a FluidSynth server:\n");
    Wait(kSettleMs);
    size_t from = relay.Connections().size();
    Wait(kShownSeconds * 1000);
    ReportConnections("shown", relay.Connections(), from, kShownSeconds);
    window->hide();
    from = relay.Connections().size();
    Wait(kHiddenSeconds * 1000);
    ReportConnections("hidden", relay.Connections(), from, kHiddenSeconds);
    window->show();

    // Each time from the moment the server stops answering, or answers again.
    for (int round = 1; round <= kStopRounds; ++round) {
        Wait(kSettleMs);
        QElapsedTimer clock;
        clock.start();
        relay.Close();
        server.Stop();
        const bool shown = Until([&] { return !window->CardProblem().isEmpty(); }, 30000) >= 0;
        const qint64 shownMs = shown ? clock.elapsed() : -1;
        Wait(kSettleMs);
        // A server stopped while a read was under way leaves its port taken for a minute.
        if (Until([&] { return server.Start(); }, 90000) < 0 || !relay.Listen()) {
            std::fprintf(stderr, "the server did not start again\n");
            return 1;
        }
        clock.restart();
        const bool back = Until([&] { return window->CardProblem().isEmpty(); }, 60000) >= 0;
        const qint64 backMs = back ? clock.elapsed() : -1;
        std::printf(
            "  stopped server shown after %lld ms, restarted one followed after %lld ms%s\n",
            static_cast<long long>(shownMs), static_cast<long long>(backMs),
            back ? ""
                 : (window->CardWatch().IsRunning() ? " (watch running)" : " (watch stopped)"));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], kIdleWindow) == 0)
        return RunIdle(true, std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], kIdleDialog) == 0)
        return RunIdle(false, std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], kLoadBank) == 0)
        return LoadBank(argv[2]);
    // "--idle" measures the simulated card alone, "--server" the server card alone.
    const bool idle = argc == 1 || std::strcmp(argv[1], "--idle") == 0;
    if (idle) {
        CompareIdle();
        MeasureFollow();
    }
    return argc == 1 || !idle ? CompareServer() : 0;
}
