// Figures for a grid of a million rows and eight columns: storing and reading back text
// cells, jumping across the rows, and setting the row count. Prints the memory a stored
// cell takes beside the size of the cell record, and the process's peak memory.
#include "TblCell.h"
#include "TblCtrl.h"
#include "TblDataSource.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <fstream>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr long Rows = 1'000'000;
constexpr int Cols = 8;

// The grid every benchmark works on; the first one fills it.
CTblCtrl* g_pGrid = nullptr;

double ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

void StoreOneTextCellPerPlace(benchmark::State& state)
{
    for (auto _ : state) {
        g_pGrid->GetSheet()->m_pDefaultSource->RemoveAll();
        const double before = ResidentBytes();
        CTblCell cell;
        for (long row = 0; row < Rows; ++row) {
            for (int col = 0; col < Cols; ++col) {
                cell.AssignText(QString::number(row * Cols + col));
                g_pGrid->WriteCell(col, row, cell);
            }
        }
        state.counters["bytes_per_cell"] = (ResidentBytes() - before) / (Rows * Cols);
    }
    state.counters["sizeof_CTblCell"] = sizeof(CTblCell);
    state.SetItemsProcessed(state.iterations() * Rows * Cols);
}
BENCHMARK(StoreOneTextCellPerPlace)->Iterations(1)->Unit(benchmark::kMillisecond);

// The painting order: row by row, each row's columns left to right, composed as drawn.
void ReadBackRowByRow(benchmark::State& state)
{
    g_pGrid->SetRowCount(Rows, 0);
    CTblCell cell;
    for (auto _ : state) {
        long length = 0;
        for (long row = 0; row < Rows; ++row) {
            for (int col = 0; col < Cols; ++col) {
                g_pGrid->ComposeCell(col, row, cell);
                length += cell.TextLength();
            }
        }
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(state.iterations() * Rows * Cols);
}
BENCHMARK(ReadBackRowByRow)->Iterations(2)->Unit(benchmark::kMillisecond);

void JumpToTheLastRowAndBack(benchmark::State& state)
{
    for (auto _ : state) {
        g_pGrid->MoveToRow(Rows - 1);
        g_pGrid->MoveToRow(0);
    }
}
BENCHMARK(JumpToTheLastRowAndBack)->Unit(benchmark::kMicrosecond);

// No known place is near the middle: the lookup walks half the list each way.
void FetchFromTheMiddleAndBack(benchmark::State& state)
{
    CTblDataSource& source = *g_pGrid->GetSheet()->m_pDefaultSource;
    CTblCell cell;
    for (auto _ : state) {
        source.FetchCell(0, Rows / 2, cell);
        source.FetchCell(0, 0, cell);
    }
}
BENCHMARK(FetchFromTheMiddleAndBack)->Iterations(20)->Unit(benchmark::kMillisecond);

// Above 64,000 rows the grid switches per-row heights off first.
void SetRowCountFromPerRowHeights(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        g_pGrid->SetRowCount(1000, 0);
        g_pGrid->SetUniformRows(0);
        state.ResumeTiming();
        g_pGrid->SetRowCount(Rows, 0);
    }
}
BENCHMARK(SetRowCountFromPerRowHeights)->Unit(benchmark::kMicrosecond);

void SetRowCountWithUniformHeights(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        g_pGrid->SetRowCount(1000, 0);
        g_pGrid->SetUniformRows(1);
        state.ResumeTiming();
        g_pGrid->SetRowCount(Rows, 0);
    }
}
BENCHMARK(SetRowCountWithUniformHeights)->Unit(benchmark::kMicrosecond);

// A million rows given heights of their own.
void PerRowHeightsForAMillionRows(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        g_pGrid->SetRowCount(Rows, 0);
        g_pGrid->SetUniformRows(1);
        state.ResumeTiming();
        g_pGrid->SetUniformRows(0);
    }
}
BENCHMARK(PerRowHeightsForAMillionRows)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CTblCtrl grid;
    grid.SetColumnCount(Cols);
    grid.resize(800, 600);
    grid.RecalcLayout();
    g_pGrid = &grid;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("sizeof(CTblCell): %zu bytes\n", sizeof(CTblCell));
    std::printf("peak resident memory: %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
