// Figures for a grid of a million rows and eight columns: storing and reading back text
// cells, fetching a cell in the middle and back, jumping across the rows, and setting the
// row count; then the grid shown at 800 x 600 pixels offscreen (a full repaint of the
// cells, scrolling one row, a page down), each beside a QTableView over a model with the
// same texts. Prints the memory a stored text cell takes beside what a QStandardItemModel
// and a plain table model over a vector of strings take for the same texts (also for
// 24-character texts and texts with a character beyond Latin-1), the size of
// the cell record, the process's peak memory, and the grid's painting times over the
// table view's, in wall time and in CPU time.
#include "RatioReporter.h"
#include "TblCell.h"
#include "TblCellArea.h"
#include "TblCtrl.h"
#include "TblDataSource.h"
#include "TextTableModel.h"
#include "TextVectorModel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>

#include <cstdio>
#include <fstream>
#include <memory>

#include <malloc.h>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr long Rows = 1'000'000;
constexpr int Cols = 8;

constexpr int PlaceholderId = 1;
constexpr int WindowWidth = 800;
constexpr int WindowHeight = 600;

// The grid every benchmark works on; the first one fills it.
CTblCtrl* g_pGrid = nullptr;
// The window the grid is shown in for the painting figures, and the table view beside it.
QWidget* g_pHost = nullptr;
QTableView* g_pView = nullptr;

// Bytes per stored text cell of each kind in the grid and in a plain table model, and of
// the short kind in a QStandardItemModel.
double g_gridBytes[3] = {};
double g_plainBytes[3] = {};
double g_standardBytes = 0.0;

double ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

using TextKind = CTextTableModel::TextKind;

const char* const kKindNames[3] = {"9 Latin-1 characters", "24 characters",
                                   "9 characters with a euro sign"};

QString CellText(long row, int col, int kind = TextKind::ShortLatin1)
{
    return CTextTableModel::CellText(row, col, kind);
}

void FillGrid(int kind = TextKind::ShortLatin1)
{
    CTblCell cell;
    for (long row = 0; row < Rows; ++row) {
        for (int col = 0; col < Cols; ++col) {
            cell.AssignText(CellText(row, col, kind));
            g_pGrid->WriteCell(col, row, cell);
        }
    }
}

// What the process has gained since before, per cell of the table; what was freed before
// is handed back first, so that it is not counted as reused.
class CBytesPerCell
{
public:
    CBytesPerCell() : m_before((malloc_trim(0), ResidentBytes())) {}
    double Now() const { return (ResidentBytes() - m_before) / (Rows * Cols); }

private:
    double m_before;
};

// Each kind of text in turn, the short one last: the benchmarks after read those back.
void EveryTextKindOnce(benchmark::internal::Benchmark* bench)
{
    bench->Arg(TextKind::TwentyFourCharacters)
        ->Arg(TextKind::WithEuroSign)
        ->Arg(TextKind::ShortLatin1)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}

void StoreOneTextCellPerPlace(benchmark::State& state)
{
    const auto kind = static_cast<int>(state.range(0));
    for (auto _ : state) {
        g_pGrid->GetSheet()->m_pDefaultSource->RemoveAll();
        const CBytesPerCell bytes;
        FillGrid(kind);
        g_gridBytes[kind] = bytes.Now();
        state.counters["bytes_per_cell"] = g_gridBytes[kind];
    }
    state.counters["sizeof_CTblCell"] = sizeof(CTblCell);
    state.SetItemsProcessed(state.iterations() * Rows * Cols);
}
BENCHMARK(StoreOneTextCellPerPlace)->Apply(EveryTextKindOnce);

// The same texts in a plain table model over a vector of strings, then let go.
void PlainModelStoreTexts(benchmark::State& state)
{
    const auto kind = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const CBytesPerCell bytes;
        auto model = std::make_unique<CTextVectorModel>(Rows, Cols);
        for (long row = 0; row < Rows; ++row) {
            for (int col = 0; col < Cols; ++col)
                model->SetText(row, col, CellText(row, col, kind));
        }
        g_plainBytes[kind] = bytes.Now();
        state.counters["bytes_per_cell"] = g_plainBytes[kind];
    }
    state.SetItemsProcessed(state.iterations() * Rows * Cols);
}
BENCHMARK(PlainModelStoreTexts)->Apply(EveryTextKindOnce);

// The same texts in a QStandardItemModel, then let go.
void StandardItemModelStoreTexts(benchmark::State& state)
{
    for (auto _ : state) {
        const CBytesPerCell bytes;
        auto model = std::make_unique<QStandardItemModel>(static_cast<int>(Rows), Cols);
        for (long row = 0; row < Rows; ++row) {
            for (int col = 0; col < Cols; ++col)
                model->setItem(static_cast<int>(row), col, new QStandardItem(CellText(row, col)));
        }
        g_standardBytes = bytes.Now();
        state.counters["bytes_per_cell"] = g_standardBytes;
    }
    state.SetItemsProcessed(state.iterations() * Rows * Cols);
}
BENCHMARK(StandardItemModelStoreTexts)->Iterations(1)->Unit(benchmark::kMillisecond);

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

// No known place is near the middle: the row index finds it.
void FetchFromTheMiddleAndBack(benchmark::State& state)
{
    CTblDataSource& source = *g_pGrid->GetSheet()->m_pDefaultSource;
    CTblCell cell;
    for (auto _ : state) {
        source.FetchCell(0, Rows / 2, cell);
        source.FetchCell(0, 0, cell);
    }
}
BENCHMARK(FetchFromTheMiddleAndBack)->Unit(benchmark::kMicrosecond);

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

// ---- Painting, beside a QTableView ----

// Lets the windows be painted: everything waiting is handled, the paints among it.
void Flush()
{
    QCoreApplication::processEvents();
}

// Shows the grid with its texts in its window, and the table view, once.
void ShowWidgets()
{
    if (g_pGrid->GetCellArea())
        return;
    CTblCell cell;
    // The grid paints the texts the table view paints, whichever benchmarks ran before.
    const QString* text = g_pGrid->ReadCell(0, Rows - 1, cell) == 0 ? cell.TextValue() : nullptr;
    if (!text || *text != CellText(Rows - 1, 0))
        FillGrid();
    g_pGrid->SetRowCount(Rows, 0);
    g_pHost->resize(WindowWidth, WindowHeight);
    auto* placeholder = new QLabel(g_pHost);
    placeholder->setProperty(CTblCtrl::ControlIdProperty, PlaceholderId);
    placeholder->setGeometry(0, 0, WindowWidth, WindowHeight);
    g_pGrid->AttachToDlgItem(g_pHost, PlaceholderId);
    g_pGrid->MoveToCell(0, 0);
    g_pGrid->ScrollToRow(0);
    g_pHost->show();
    g_pView->resize(WindowWidth, WindowHeight);
    g_pView->show();
    for (int pass = 0; pass < 10; ++pass)
        Flush();
}

void GridFullRepaint(benchmark::State& state)
{
    ShowWidgets();
    for (auto _ : state)
        g_pGrid->GetCellArea()->repaint();
}
BENCHMARK(GridFullRepaint)->Unit(benchmark::kMicrosecond);

void TableViewFullRepaint(benchmark::State& state)
{
    ShowWidgets();
    for (auto _ : state)
        g_pView->viewport()->repaint();
}
BENCHMARK(TableViewFullRepaint)->Unit(benchmark::kMicrosecond);

// One row further down and painted; back to the top out of the timing when at the end.
void GridScrollOneRow(benchmark::State& state)
{
    ShowWidgets();
    for (auto _ : state) {
        g_pGrid->ScrollRows(1);
        Flush();
        if (g_pGrid->GetSheet()->m_nTopRow >= g_pGrid->GetSheet()->m_nMaxTopRow) {
            state.PauseTiming();
            g_pGrid->ScrollToRow(0);
            Flush();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(GridScrollOneRow)->Unit(benchmark::kMicrosecond);

void TableViewScrollOneRow(benchmark::State& state)
{
    ShowWidgets();
    QScrollBar* bar = g_pView->verticalScrollBar();
    for (auto _ : state) {
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        Flush();
        if (bar->value() >= bar->maximum()) {
            state.PauseTiming();
            bar->setValue(0);
            Flush();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(TableViewScrollOneRow)->Unit(benchmark::kMicrosecond);

void GridPageDown(benchmark::State& state)
{
    ShowWidgets();
    for (auto _ : state) {
        g_pGrid->ScrollRows(3);
        Flush();
        if (g_pGrid->GetSheet()->m_nTopRow >= g_pGrid->GetSheet()->m_nMaxTopRow) {
            state.PauseTiming();
            g_pGrid->ScrollToRow(0);
            Flush();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(GridPageDown)->Unit(benchmark::kMicrosecond);

void TableViewPageDown(benchmark::State& state)
{
    ShowWidgets();
    QScrollBar* bar = g_pView->verticalScrollBar();
    for (auto _ : state) {
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        Flush();
        if (bar->value() >= bar->maximum()) {
            state.PauseTiming();
            bar->setValue(0);
            Flush();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(TableViewPageDown)->Unit(benchmark::kMicrosecond);

void PrintRatio(const CRatioReporter& reporter, const char* what, const char* grid,
                const char* view)
{
    const CRatioReporter::Times gridTimes = reporter.TimesOf(grid);
    const CRatioReporter::Times viewTimes = reporter.TimesOf(view);
    if (gridTimes.wall > 0.0 && viewTimes.wall > 0.0 && viewTimes.cpu > 0.0)
        std::printf("%-40s wall %.2f  CPU %.2f\n", what, gridTimes.wall / viewTimes.wall,
                    gridTimes.cpu / viewTimes.cpu);
}

void PrintFigures(const CRatioReporter& reporter)
{
    PrintRatio(reporter, "full repaint, grid / table view:", "GridFullRepaint",
               "TableViewFullRepaint");
    PrintRatio(reporter, "scroll one row, grid / table view:", "GridScrollOneRow",
               "TableViewScrollOneRow");
    PrintRatio(reporter, "page down, grid / table view:", "GridPageDown", "TableViewPageDown");
    PrintRatio(reporter, "grid scroll one row / grid full repaint:", "GridScrollOneRow",
               "GridFullRepaint");
    if (const auto jump = reporter.TimesOf("FetchFromTheMiddleAndBack"); jump.wall > 0.0)
        std::printf("fetch row %ld and back: wall %.3f us, CPU %.3f us (goal: at most 2 us)\n",
                    Rows / 2, jump.wall, jump.cpu);
    const int shortKind = TextKind::ShortLatin1;
    if (g_gridBytes[shortKind] > 0.0) {
        std::printf("bytes per stored text cell: grid %.1f, plain table model %.1f, "
                    "QStandardItemModel %.1f\n",
                    g_gridBytes[shortKind], g_plainBytes[shortKind], g_standardBytes);
        if (g_plainBytes[shortKind] > 0.0 && g_standardBytes > 0.0)
            std::printf("grid / plain table model: %.2f (goal: at most 1), grid / "
                        "QStandardItemModel: %.2f\n",
                        g_gridBytes[shortKind] / g_plainBytes[shortKind],
                        g_gridBytes[shortKind] / g_standardBytes);
    }
    for (int kind = TextKind::TwentyFourCharacters; kind <= TextKind::WithEuroSign; ++kind) {
        if (g_gridBytes[kind] > 0.0 && g_plainBytes[kind] > 0.0)
            std::printf("bytes per cell, %s: grid %.1f, plain table model %.1f (goal: grid at "
                        "most the model)\n",
                        kKindNames[kind], g_gridBytes[kind], g_plainBytes[kind]);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("sizeof(CTblCell): %zu bytes\n", sizeof(CTblCell));
    std::printf("peak resident memory: %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The window first: the grid becomes its child and must go before it.
    QWidget host;
    CTextTableModel model(Rows, Cols);
    QTableView view;
    view.setModel(&model);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(20);
    view.horizontalHeader()->setDefaultSectionSize(75);
    CTblCtrl grid;
    grid.SetColumnCount(Cols);
    grid.resize(WindowWidth, WindowHeight);
    grid.RecalcLayout();
    g_pGrid = &grid;
    g_pHost = &host;
    g_pView = &view;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintFigures(reporter);
    return 0;
}
