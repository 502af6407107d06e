// The bank contents window at the size of a full card of large SoundFonts: 8 banks of
// 2,200 presets each, every one of the same bank:program numbers, on a simulated card.
// Times the window's opening (reading the banks, finding the answering bank, showing and
// painting the table) beside the MIDI mapping report of the same banks (reading them and
// writing the report from the default template), and each keystroke in the filter field
// (the filter applied and the table painted again). Prints the ratio and the keystrokes'
// mean and worst times, against the goals: at most 1.5 times the report, at most 16 ms.
#include "BankTable.h"
#include "ContentsDlg.h"
#include "MappingReport.h"
#include "RatioReporter.h"
#include "SharedSynthLibrary.h"
#include "SoundFontWriter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>

#include <time.h>

namespace {

constexpr int kBanks = 8;
constexpr int kPresetsPerBank = 2200;
constexpr int kProgramsPerBank = 128;

CBankTable* g_pTable = nullptr;

// The time the process has run on a processor, which a machine busy with other work does
// not stretch as it stretches the wall clock.
double CpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Presets at banks 0, 1, ... with programs 0..127 each, named for the font and the numbers.
bool WriteFont(const QString& path, int font)
{
    CSoundFontWriter writer("Font " + std::to_string(font));
    for (int preset = 0; preset < kPresetsPerBank; ++preset) {
        const int bank = preset / kProgramsPerBank;
        const int program = preset % kProgramsPerBank;
        writer.AddPreset("Preset " + std::to_string(bank) + ":" + std::to_string(program),
                         static_cast<uint16_t>(bank), static_cast<uint16_t>(program));
    }
    return writer.Write(path.toStdString());
}

void ContentsWindowOpens(benchmark::State& state)
{
    for (auto _ : state) {
        CContentsDlg window(*g_pTable);
        window.show();
        window.View()->viewport()->repaint();
        benchmark::DoNotOptimize(window.View()->model()->rowCount());
    }
}
BENCHMARK(ContentsWindowOpens)->Unit(benchmark::kMillisecond)->UseRealTime();

void ReportOfTheSameBanks(benchmark::State& state)
{
    for (auto _ : state) {
        QFile input(QStringLiteral(KORVANE_DEFAULT_TEMPLATE));
        input.open(QIODevice::ReadOnly);
        QBuffer output;
        output.open(QIODevice::WriteOnly);
        CMappingReport report(*g_pTable, input.fileName(), QString());
        report.Generate(input, output);
        benchmark::DoNotOptimize(output.size());
    }
}
BENCHMARK(ReportOfTheSameBanks)->Unit(benchmark::kMillisecond)->UseRealTime();

// Types the text into the filter field one character at a time, then takes it back the
// same way, as a user correcting it does; the time of each keystroke until the table is
// painted again.
void PrintKeystrokes(const QString& typed)
{
    CContentsDlg window(*g_pTable);
    window.show();
    window.View()->viewport()->repaint();
    std::vector<double> times;
    std::vector<double> cpuTimes;
    QString text;
    const auto press = [&](const QString& next) {
        const double cpuStart = CpuMilliseconds();
        QElapsedTimer timer;
        timer.start();
        window.FilterField()->setText(next);
        window.View()->viewport()->repaint();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        cpuTimes.push_back(CpuMilliseconds() - cpuStart);
    };
    for (const QChar ch : typed) {
        text += ch;
        press(text);
    }
    while (!text.isEmpty()) {
        text.chop(1);
        press(text);
    }
    const auto print = [&](const char* clock, const std::vector<double>& measured) {
        std::printf("filter keystrokes typing and erasing \"%s\" over %d rows, %s: mean %.2f ms, "
                    "worst %.2f ms (goal: at most 16 ms)\n",
                    qPrintable(typed), kBanks * kPresetsPerBank, clock,
                    std::accumulate(measured.begin(), measured.end(), 0.0) /
                        static_cast<double>(measured.size()),
                    *std::max_element(measured.begin(), measured.end()));
    };
    print("wall", times);
    print("CPU", cpuTimes);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("KORVANE_CARD_STATE", dir.filePath("card.state").toLocal8Bit());
    qputenv("KORVANE_CARD_MEMORY", "1073741824");
    CSharedSynthLibrary library(QStringLiteral(KORVANE_CARD_LIBRARY));
    CBankTable table(library);
    if (!dir.isValid() || !library.IsLoaded() || !table.Init(nullptr)) {
        std::fprintf(stderr, "no card to load the banks into\n");
        return 1;
    }
    for (int font = 0; font < kBanks; ++font) {
        const QString path = dir.filePath(QStringLiteral("font%1.sf2").arg(font));
        if (!WriteFont(path, font) || table.LoadBank(path) >= SYNTH_LOAD_ERROR_BASE) {
            std::fprintf(stderr, "bank %d cannot be made or loaded\n", font);
            return 1;
        }
    }
    g_pTable = &table;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const CRatioReporter::Times contents = reporter.TimesOf("ContentsWindowOpens");
    const CRatioReporter::Times report = reporter.TimesOf("ReportOfTheSameBanks");
    if (report.wall > 0.0) {
        std::printf("contents window opening / report of the same banks: wall %.2f, CPU %.2f "
                    "(goal: at most 1.5)\n",
                    contents.wall / report.wall, contents.cpu / report.cpu);
    }
    PrintKeystrokes(QStringLiteral("preset 12:7"));
    PrintKeystrokes(QStringLiteral("77"));
    return 0;
}
