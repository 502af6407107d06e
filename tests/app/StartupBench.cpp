// Start-up to first paint of the program against a minimal Qt dialog program, and
// "korvane status" to its end against a minimal Qt Core program printing one line, each
// started afresh many times in turn; also says whether the program mapped FluidSynth to get
// to its first paint (it should not: FluidSynth is loaded by the first Play or SoundFont
// report). Runs in the caller's display (scripts/bench-player.sh gives it Xvfb). A
// benchmark, not a test.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 21;

struct Start
{
    double milliseconds = -1;
    QByteArray report;
};

Start Run(const QString& program, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    Start start;
    while (process.waitForReadyRead(10000)) {
        start.report += process.readAllStandardOutput();
        if (start.report.contains('\n')) {
            start.milliseconds = double(timer.nsecsElapsed()) / 1e6;
            break;
        }
    }
    process.waitForFinished(10000);
    return start;
}

// Milliseconds from the start of program with arguments to its end; -1 when it failed.
double RunToEnd(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    const bool ended = process.waitForFinished(10000);
    const double milliseconds = double(timer.nsecsElapsed()) / 1e6;
    const bool succeeded = ended && process.exitStatus() == QProcess::NormalExit &&
                           process.exitCode() == 0 && !process.readAllStandardOutput().isEmpty();
    return succeeded ? milliseconds : -1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// The medians of a program's times and of its yardstick's, and how many times the one the
// other is.
void PrintMedians(const char* heading, const char* yardstickName,
                  const std::vector<double>& yardstickTimes, const char* programName,
                  const std::vector<double>& programTimes)
{
    const double yardstick = Median(yardstickTimes);
    const double program = Median(programTimes);
    std::printf("%s, median of %d runs each:\n", heading, kRuns);
    std::printf("  %-25s %7.1f ms\n", yardstickName, yardstick);
    std::printf("  %-25s %7.1f ms (%.2f x the minimal program)\n", programName, program,
                program / yardstick);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString dir = QCoreApplication::applicationDirPath();
    QTemporaryDir home;
    // The program's card, options and settings stay in a directory of their own.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KORVANE_CARD_STATE"), home.filePath(QStringLiteral("card")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    environment.insert(QStringLiteral("XDG_STATE_HOME"), home.path());

    std::vector<double> korvane;
    std::vector<double> minimal;
    std::vector<double> status;
    std::vector<double> minimalCore;
    int mapped = 0;
    for (int run = 0; run < kRuns; ++run) {
        status.push_back(
            RunToEnd(dir + QStringLiteral("/korvane"), {QStringLiteral("status")}, environment));
        minimalCore.push_back(
            RunToEnd(dir + QStringLiteral("/startup_minimal_core"), {}, environment));
        if (status.back() < 0 || minimalCore.back() < 0) {
            std::fprintf(stderr, "korvane status or the minimal Qt Core program failed\n");
            return 1;
        }
        const Start program = Run(dir + QStringLiteral("/first_paint_korvane"), environment);
        const Start yardstick = Run(dir + QStringLiteral("/first_paint_minimal"), environment);
        if (program.milliseconds < 0 || yardstick.milliseconds < 0) {
            std::fprintf(stderr, "a program did not paint: %s\n", program.report.constData());
            return 1;
        }
        korvane.push_back(program.milliseconds);
        minimal.push_back(yardstick.milliseconds);
        mapped += program.report.contains("fluidsynth=1") ? 1 : 0;
    }
    PrintMedians("Start-up to first paint", "minimal Qt dialog program", minimal, "korvane",
                 korvane);
    std::printf("  FluidSynth mapped at the first paint in %d of %d starts\n", mapped, kRuns);
    PrintMedians("A command from start to end", "minimal Qt Core program", minimalCore,
                 "korvane status", status);
    return 0;
}
