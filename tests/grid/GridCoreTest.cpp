// The grid's configuration: counts and sizes, headings, fonts, reading and writing cells
// through the layers of defaults, fitting and moving columns, sheets, registries, the
// layout and the pop-up menu.
#include "GridLayout.h"
#include "RecordingCellType.h"
#include "RecordingGrid.h"
#include "RecordingWindow.h"
#include "TblCellFormat.h"
#include "TblMemSource.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QStyle>

#include <algorithm>
#include <memory>

namespace {

bool Logged(const CallLog& log, const std::string& call)
{
    return std::find(log.begin(), log.end(), call) != log.end();
}

std::vector<int> Widths(const CTblCtrl& grid)
{
    std::vector<int> widths;
    for (int col = 0; col < grid.GetColumnCount(); ++col)
        widths.push_back(grid.GetColumnWidth(col));
    return widths;
}

QStringList RowTexts(CTblCtrl& grid, long row)
{
    QStringList texts;
    for (int col = 0; col < grid.GetColumnCount(); ++col) {
        QString text;
        grid.GetCellText(col, row, text);
        texts << text;
    }
    return texts;
}

TEST(GridCoreTest, WithoutRowsOrColumnsThereIsNoCurrentCell)
{
    CallLog log;
    CRecordingGrid grid(log);
    EXPECT_EQ(grid.GetCurCol(), -1);
    EXPECT_EQ(grid.GetCurRow(), -1);
    grid.SetColumnCount(3);
    EXPECT_EQ(grid.GetCurCol(), 0);
    EXPECT_EQ(grid.GetCurRow(), -1);
    EXPECT_TRUE(Logged(log, "OnCurColChanged(-1,0)"));
    grid.SetRowCount(4);
    EXPECT_EQ(grid.GetCurRow(), 0);
    EXPECT_TRUE(Logged(log, "OnCurCellChanged(0,0,-1,0)"));
    grid.MoveToRow(3);
    grid.SetRowCount(2);
    EXPECT_EQ(grid.GetCurRow(), 1);
    grid.SetRowCount(0);
    EXPECT_EQ(grid.GetCurRow(), -1);
    EXPECT_EQ(grid.MoveToRow(1), 1);
    EXPECT_EQ(grid.StepRow(CTblSheet::StepBack), 1);
    EXPECT_EQ(grid.SetRowCount(-1), 1);
    EXPECT_EQ(grid.SetColumnCount(32001), 1);
    EXPECT_EQ(grid.MoveToCell(3, 0), 1);
}

TEST(GridCoreTest, PerRowHeightsKeepTheirValuesWhenRowsAreAdded)
{
    CTblCtrl grid;
    grid.SetRowCount(10);
    EXPECT_EQ(grid.SetRowSize(3, 35), 0);
    EXPECT_EQ(grid.SetDefaultRowHeight(25), 0);
    grid.SetRowCount(20);
    EXPECT_EQ(grid.GetRowSize(3), 35);
    EXPECT_EQ(grid.GetRowSize(4), 20);
    EXPECT_EQ(grid.GetRowSize(15), 25);
    EXPECT_EQ(grid.GetRowSize(20), 0);
    EXPECT_EQ(grid.SetRowSize(20, 50), 0);
    EXPECT_EQ(grid.SetRowSize(2, -1), 1);
    EXPECT_EQ(grid.SetDefaultRowHeight(0), 1);
    EXPECT_EQ(grid.SetDefaultRowHeight(1025), 1);
}

TEST(GridCoreTest, AboveSixtyFourThousandRowsHeightsBecomeUniform)
{
    CTblCtrl grid;
    grid.SetRowCount(10);
    grid.SetRowSize(3, 35);
    grid.SetRowCount(64000);
    EXPECT_EQ(grid.GetSheet()->m_bUniformRows, 0);
    grid.SetRowCount(64001);
    EXPECT_EQ(grid.GetSheet()->m_bUniformRows, 1);
    EXPECT_TRUE(grid.GetSheet()->m_rowHeights.empty());
    EXPECT_EQ(grid.GetRowSize(3), 20);
    EXPECT_EQ(grid.GetRowSize(64000), 20);
    // With uniform heights a row's size is every row's size.
    EXPECT_EQ(grid.SetRowSize(7, 30), 0);
    EXPECT_EQ(grid.GetRowSize(0), 30);
    EXPECT_EQ(grid.SetRowSize(7, 0), 1);
    grid.SetRowCount(5);
    EXPECT_EQ(grid.GetSheet()->m_bUniformRows, 1);
    grid.SetUniformRows(0);
    EXPECT_EQ(grid.GetSheet()->m_rowHeights, std::vector<int>(5, 30));
}

TEST(GridCoreTest, ColumnWidthsAndHeadingSizes)
{
    CTblCtrl grid;
    grid.SetColumnCount(3);
    EXPECT_EQ(grid.GetColumnWidth(1), 75);
    EXPECT_EQ(grid.SetColumnWidth(1, 40), 0);
    EXPECT_EQ(grid.GetColumnWidth(1), 40);
    EXPECT_EQ(grid.GetColumnWidth(3), 1);
    EXPECT_EQ(grid.SetColumnWidth(3, 40), 1);
    EXPECT_EQ(grid.SetColumnWidth(0, -5), 1);
    EXPECT_EQ(grid.SetColumnWidth(-1, 33), 1);
    EXPECT_EQ(grid.GetSheet()->m_headColWidths, std::vector<int>{33});
    EXPECT_EQ(grid.GetSheet()->m_nRowHeaderWidth, 33);
    EXPECT_EQ(grid.SetHeadingColumnWidth(-2, 10), 1);
    EXPECT_EQ(grid.SetHeadingColumnWidth(-1, 1025), 2);
    EXPECT_EQ(grid.SetHeadingRowHeight(-1, 30), 0);
    EXPECT_EQ(grid.GetSheet()->m_headRowHeights, std::vector<int>{30});
    EXPECT_EQ(grid.GetSheet()->m_nColHeaderHeight, 20) << "only one heading column counts";
    EXPECT_EQ(grid.SetHeadingRowHeight(0, 30), 1);
    EXPECT_EQ(grid.SetCurCellStyle(4), 1);
    EXPECT_EQ(grid.SetCurCellStyle(2), 0);
}

TEST(GridCoreTest, ColumnHeadingHeightIsSharedInProportion)
{
    CTblCtrl grid;
    grid.GetSheet()->m_headRowHeights = {20, 10};
    EXPECT_EQ(grid.SetColHeaderHeight(40), 0);
    EXPECT_EQ(grid.GetSheet()->m_headRowHeights, (std::vector<int>{27, 13}));
    EXPECT_EQ(grid.GetSheet()->m_nColHeaderHeight, 40);
    EXPECT_EQ(grid.GetSheet()->m_rcCells.top(), 40) << "the layout was redone";
    grid.GetSheet()->m_headRowHeights = {0, 0};
    grid.SetColHeaderHeight(41);
    EXPECT_EQ(grid.GetSheet()->m_headRowHeights, (std::vector<int>{20, 21}));
    EXPECT_EQ(grid.SetColHeaderHeight(1025), 1);
    EXPECT_EQ(grid.SetRowHeaderWidth(-1), 1);
    EXPECT_EQ(grid.SetRowHeaderWidth(60), 0);
    EXPECT_EQ(grid.GetSheet()->m_headColWidths, std::vector<int>{60});
    EXPECT_EQ(grid.GetSheet()->m_rcCells.left(), 60);
}

TEST(GridCoreTest, FitColumnsToWidthScalesToTheCellArea)
{
    CTblCtrl grid;
    grid.SetColumnCount(4);
    grid.SetRowCount(3);
    LayOut(grid, 374, 100);
    ASSERT_EQ(grid.GetSheet()->m_nCellAreaWidth, 374);
    const int widths[] = {12, 70, 30, 75};
    for (int col = 0; col < 4; ++col)
        grid.SetColumnWidth(col, widths[col]);
    EXPECT_EQ(grid.FitColumnsToWidth(0, 3), 0);
    EXPECT_EQ(Widths(grid), (std::vector<int>{24, 140, 60, 150}));
    EXPECT_EQ(grid.FitColumnsToWidth(0, 4), 1);
    EXPECT_EQ(grid.FitColumnsToWidth(-1, 2), 1);
    EXPECT_EQ(grid.FitColumnsToWidth(2, 1), 1);
    for (int col = 0; col < 4; ++col)
        grid.SetColumnWidth(col, 0);
    EXPECT_EQ(grid.FitColumnsToWidth(0, 3), 0);
    EXPECT_EQ(Widths(grid), (std::vector<int>{93, 93, 93, 95}));
}

TEST(GridCoreTest, FontsWithEqualFieldsAreReused)
{
    CTblCtrl grid;
    const int normal = grid.RegisterFont("DejaVu Sans", -12, 400);
    EXPECT_EQ(grid.RegisterFont("DejaVu Sans", -12, 400), normal);
    EXPECT_EQ(grid.GetFontUseCount(normal), 2);
    const int bold = grid.RegisterFont("DejaVu Sans", -12, 700);
    EXPECT_NE(bold, normal);
    EXPECT_EQ(grid.RegisterFont("dejavu sans", -12, 400), bold + 1) << "face names match exactly";
    ASSERT_NE(grid.GetFont(bold), nullptr);
    EXPECT_EQ(grid.GetFont(bold)->weight(), QFont::Bold);
    EXPECT_EQ(grid.GetFont(bold)->pixelSize(), 12);
    const int italic = grid.RegisterFontEx(-12, 400, 1, 0, 0, 0, "DejaVu Sans");
    EXPECT_TRUE(grid.GetFont(italic)->italic());
    // A face name too long for the logical font is dropped, so it matches an empty one.
    const int unnamed = grid.RegisterFont("", 10, 0);
    EXPECT_EQ(grid.RegisterFont(QString(32, 'x'), 10, 0), unnamed);
    EXPECT_EQ(grid.SetDefaultFont(99), 1);
    EXPECT_EQ(grid.SetDefaultFont(bold), 0);
    EXPECT_EQ(grid.GetSheet()->m_pDefaultFont, grid.GetFont(bold));
}

TEST(GridCoreTest, CellTextsAndAlignments)
{
    CTblCtrl grid;
    grid.SetColumnCount(3);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.SetCellText(1, 2, "text"), 0);
    EXPECT_EQ(grid.SetCellAlignment(1, 2, CTblCell::AlignRight), 0);
    QString text = "stale";
    EXPECT_EQ(grid.GetCellText(1, 2, text), 0);
    EXPECT_EQ(text, "text");
    CTblCell cell;
    EXPECT_EQ(grid.ReadCell(1, 2, cell), 0);
    EXPECT_EQ(cell.GetAlignment(), CTblCell::AlignRight);
    EXPECT_EQ(grid.GetCellText(0, 0, text), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(grid.SetCellText(-1, 1, "heading"), 0);
    grid.GetCellText(-1, 1, text);
    EXPECT_EQ(text, "heading");
    EXPECT_EQ(grid.SetCellText(3, 0, "beyond"), 1);
    EXPECT_EQ(grid.ReadCell(3, 0, cell), 1);
}

TEST(GridCoreTest, ComposedCellsLayerDefaultsUnderStoredProperties)
{
    CallLog log;
    CRecordingGrid grid(log);
    grid.GetSheet()->m_gridDefCell.SetBackColor(Qt::cyan);
    grid.SetColumnCount(2);
    grid.SetRowCount(2);
    grid.GetSheet()->m_gridDefCell.SetBackColor(Qt::red);
    grid.SetCellText(0, 0, "stored");
    CTblCell cell;
    grid.ComposeCell(0, 0, cell);
    EXPECT_EQ(*cell.TextValue(), "stored");
    EXPECT_EQ(cell.GetBackColor(), QColor(Qt::cyan));
    grid.ComposeCell(1, -1, cell);
    EXPECT_EQ(cell.GetBorder(), CTblCell::BorderRaised);
    EXPECT_EQ(cell.GetAlignment(), CTblCell::AlignHCenter | CTblCell::AlignVCenter);
    EXPECT_EQ(cell.TextValue(), nullptr);
    grid.m_bLogFetches = true;
    log.clear();
    grid.ComposeCell(0, 5, cell);
    EXPECT_EQ(cell.TextValue(), nullptr) << "rows past the end have only defaults";
    EXPECT_TRUE(log.empty());
    grid.m_fetchedBackColor = Qt::blue;
    grid.ComposeCell(0, 0, cell);
    EXPECT_EQ(cell.GetBackColor(), QColor(Qt::blue));
    EXPECT_EQ(log, CallLog({"OnCellFetch(0,0)"}));
}

TEST(GridCoreTest, FormatAndStyleObjectsAdjustTheComposedCell)
{
    struct Kilobytes : CTblCellFormat
    {
        void AdjustCell(int, long, CTblCell& cell) override
        {
            cell.AssignText(*cell.TextValue() + " Ko");
        }
    } format;
    CTblCell style;
    style.SetTextColor(Qt::darkGreen);
    CTblCtrl grid;
    grid.SetColumnCount(1);
    grid.SetRowCount(1);
    CTblCell stored;
    stored.AssignText("5");
    stored.SetFormat(&format);
    stored.SetStyle(&style);
    grid.WriteCell(0, 0, stored);
    CTblCell cell;
    grid.ComposeCell(0, 0, cell);
    EXPECT_EQ(*cell.TextValue(), "5 Ko");
    EXPECT_EQ(cell.GetTextColor(), QColor(Qt::darkGreen));
}

TEST(GridCoreTest, TheApplicationSeesEveryCellBeforeItIsStored)
{
    CallLog log;
    CRecordingGrid grid(log);
    grid.SetColumnCount(2);
    grid.m_strStoreSuffix = "!";
    log.clear();
    grid.SetCellText(1, 4, "a");
    EXPECT_EQ(log, CallLog({"OnCellStore(1,4)"}));
    QString text;
    grid.GetCellText(1, 4, text);
    EXPECT_EQ(text, "a!");
    CTblCell cell;
    EXPECT_EQ(grid.WriteCell(2, 0, cell), 1);
    EXPECT_EQ(log.size(), 1u);
}

TEST(GridCoreTest, MovedColumnsTakeTheirWidthCellsAndDefaultsAlong)
{
    CallLog log;
    CRecordingGrid grid(log);
    grid.SetColumnCount(4);
    grid.SetRowCount(1);
    for (int col = 0; col < 4; ++col) {
        grid.SetCellText(col, 0, QString(QChar('A' + col)));
        grid.SetColumnWidth(col, 10 * (col + 1));
    }
    EXPECT_EQ(grid.MoveColumn(0, 2, 1), 0);
    EXPECT_EQ(RowTexts(grid, 0), QStringList({"B", "A", "C", "D"}));
    EXPECT_EQ(Widths(grid), (std::vector<int>{20, 10, 30, 40}));
    EXPECT_EQ(grid.MoveColumn(0, 2, 0), 0);
    EXPECT_EQ(RowTexts(grid, 0), QStringList({"A", "C", "B", "D"}));
    EXPECT_EQ(grid.MoveColumn(3, 0, 1), 0);
    EXPECT_EQ(RowTexts(grid, 0), QStringList({"D", "A", "C", "B"}));
    EXPECT_EQ(grid.MoveColumn(4, 0, 1), 1);
    EXPECT_EQ(grid.MoveColumn(0, -1, 1), 1);
    EXPECT_EQ(grid.MoveColumn(0, 4, 0), 1);
    EXPECT_EQ(grid.MoveColumn(1, 1, 1), 0);
    EXPECT_EQ(grid.MoveColumn(1, 0, 0), 0);
    EXPECT_EQ(RowTexts(grid, 0), QStringList({"D", "A", "C", "B"}));
    // The application hears of a fetch by the source's column number.
    grid.m_bLogFetches = true;
    log.clear();
    CTblCell cell;
    grid.ComposeCell(0, 0, cell);
    EXPECT_EQ(log, CallLog({"OnCellFetch(3,0)"}));
}

TEST(GridCoreTest, EverySheetHasItsOwnCellsAndView)
{
    CallLog log;
    CRecordingGrid grid(log);
    grid.GetSheet()->m_nTabWidth = 7;
    grid.SetColumnCount(2);
    grid.SetRowCount(5);
    grid.SetCellText(0, 0, "first sheet");
    log.clear();
    EXPECT_EQ(grid.SetSheetCount(3), 0);
    EXPECT_EQ(log, CallLog({"OnSheetReady(1,0)", "OnSheetReady(2,0)"}));
    EXPECT_EQ(grid.GetCurSheet(), 0);
    EXPECT_EQ(grid.ShowSheet(2), 0);
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(grid.GetCurRow(), -1);
    EXPECT_EQ(grid.GetSheet()->m_nTabWidth, 7) << "the tab strip stays as wide";
    grid.SetColumnCount(1);
    QString text;
    grid.GetCellText(0, 0, text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(grid.SetSheetCount(2), 0);
    EXPECT_EQ(grid.GetCurSheet(), 1);
    EXPECT_EQ(grid.ShowSheet(2), 1);
    EXPECT_EQ(grid.SetSheetCount(0), 1);
    EXPECT_EQ(grid.SetSheetCount(1025), 1);
    grid.ShowSheet(0);
    grid.GetCellText(0, 0, text);
    EXPECT_EQ(text, "first sheet");
    EXPECT_EQ(grid.GetRowCount(), 5);
}

TEST(GridCoreTest, BuiltInCellTypesAndRegisteredOnes)
{
    CallLog log;
    CTblCtrl grid;
    ASSERT_EQ(grid.GetCellTypeCount(), 4);
    EXPECT_EQ(grid.GetCellType(0)->TypeName(), "Normal Cell Type (default)");
    EXPECT_EQ(grid.GetCellType(1)->TypeName(), "Standard DropList");
    EXPECT_EQ(grid.GetCellType(2)->TypeName(), "Standard CheckBox Type");
    EXPECT_EQ(grid.GetCellType(3)->TypeName(), "Normal Cell Type (default)");
    EXPECT_EQ(grid.GetCellType(3)->TypeIdentifier(), grid.GetCellType(0)->TypeIdentifier());
    EXPECT_NE(grid.GetCellType(1)->TypeIdentifier(), grid.GetCellType(2)->TypeIdentifier());
    const int editable[] = {1, 1, 0, 0};
    const int overflow[] = {1, 0, 0, 1};
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(grid.GetCellType(index)->m_bEditable, editable[index]) << index;
        EXPECT_EQ(grid.GetCellType(index)->m_bOverflow, overflow[index]) << index;
        EXPECT_EQ(grid.GetCellType(index)->m_nIndex, index);
    }
    CRecordingCellType mine(log);
    EXPECT_EQ(grid.RegisterCellType(&mine), 4);
    EXPECT_EQ(mine.m_pGrid, &grid);
    EXPECT_EQ(grid.RegisterCellType(nullptr), -1);
    EXPECT_EQ(grid.GetCellType(5), nullptr);
}

TEST(GridCoreTest, DataSourcesGetTheFirstFreeEntryFromOne)
{
    CTblCtrl grid;
    std::vector<std::unique_ptr<CTblMemSource>> sources;
    for (int i = 0; i < 17; ++i) {
        sources.push_back(std::make_unique<CTblMemSource>());
        EXPECT_EQ(grid.RegisterDataSource(sources.back().get()), i + 1);
        EXPECT_EQ(sources.back()->m_pGrid, &grid);
    }
    EXPECT_EQ(grid.GetDataSource(17), sources.back().get());
    EXPECT_EQ(grid.GetDataSource(0), nullptr);
    EXPECT_EQ(grid.RegisterDataSource(nullptr), -1);
}

TEST(GridCoreTest, FitColumnsToContentTakesTheWidestPreferredSize)
{
    CallLog log;
    CTblCtrl grid;
    CRecordingCellType measured(log);
    const int type = grid.RegisterCellType(&measured);
    grid.GetSheet()->m_gridDefCell.SetCellType(type);
    grid.GetSheet()->m_headDefCell.SetCellType(type);
    grid.SetColumnCount(2);
    grid.SetRowCount(4);
    grid.SetCellText(0, 0, "ab");
    grid.SetCellText(0, 3, "abcdef");
    grid.SetCellText(0, -1, "abcdefgh");
    CTblCell joined;
    joined.AssignText("a very long joined text");
    joined.SetJoin(1, 2, 0);
    grid.WriteCell(1, 1, joined);
    grid.SetCellText(1, 2, "abc");
    EXPECT_EQ(grid.FitColumnsToContent(0, 1, 2, 0), 0);
    EXPECT_EQ(Widths(grid), (std::vector<int>{20, 0}));
    EXPECT_EQ(grid.FitColumnsToContent(0, 1, 10, 0), 0);
    EXPECT_EQ(Widths(grid), (std::vector<int>{60, 30}));
    EXPECT_EQ(grid.FitColumnsToContent(0, 0, 10, CTblCtrl::FitHeadings), 0);
    EXPECT_EQ(grid.GetColumnWidth(0), 80);
    EXPECT_EQ(grid.FitColumnsToContent(-2, 0, 10, 0), 1);
    EXPECT_EQ(grid.FitColumnsToContent(0, 2, 10, 0), 2);
    EXPECT_EQ(grid.FitColumnsToContent(1, 0, 10, 0), 3);
}

TEST(GridCoreTest, TheNormalTypeMeasuresTextInTheCellsFont)
{
    CTblCtrl grid;
    grid.SetColumnCount(1);
    grid.SetRowCount(1);
    grid.SetCellText(0, 0, "");
    grid.FitColumnsToContent(0, 0, 1, 0);
    EXPECT_EQ(grid.GetColumnWidth(0), 9) << "a cell without text";
    const int big = grid.RegisterFont("DejaVu Sans", -40, 400);
    const int small = grid.RegisterFont("DejaVu Sans", -8, 400);
    CTblCell cell;
    cell.AssignText("measured");
    cell.SetFont(grid.GetFont(big));
    grid.WriteCell(0, 0, cell);
    grid.FitColumnsToContent(0, 0, 1, 0);
    const int wide = grid.GetColumnWidth(0);
    cell.SetFont(grid.GetFont(small));
    grid.WriteCell(0, 0, cell);
    grid.FitColumnsToContent(0, 0, 1, 0);
    EXPECT_GT(wide, grid.GetColumnWidth(0));
    EXPECT_GT(grid.GetColumnWidth(0), 6);
}

TEST(GridCoreTest, TheLayoutShowsScrollBarsOnlyWhenNeeded)
{
    CTblCtrl grid;
    grid.SetColumnCount(3);
    grid.SetRowCount(3);
    grid.resize(400, 200);
    grid.RecalcLayout();
    const CTblSheet& sheet = *grid.GetSheet();
    EXPECT_EQ(sheet.m_rcCells, QRect(40, 20, 360, 180));
    EXPECT_TRUE(sheet.m_rcVScroll.isEmpty());
    EXPECT_TRUE(sheet.m_rcHScroll.isEmpty());
    EXPECT_EQ(sheet.m_rcCorner, QRect(0, 0, 40, 20));
    grid.SetRowCount(20);
    EXPECT_EQ(sheet.m_rcVScroll.width(), sheet.m_nVScrollWidth);
    EXPECT_EQ(sheet.m_nCellAreaWidth, 360 - sheet.m_nVScrollWidth);
    EXPECT_GT(sheet.m_nMaxTopRow, 0);
    grid.SetRowCount(3);
    EXPECT_TRUE(sheet.m_rcVScroll.isEmpty());
    EXPECT_EQ(sheet.m_nVScrollWidth, grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent))
        << "a hidden bar keeps its configured width";
}

TEST(GridCoreTest, TheApplicationMayChangeTheLayout)
{
    struct NarrowGrid : CTblCtrl
    {
        void OnLayout(QRect* cells, QRect*, QRect*, QRect*, QRect*, QRect*, QRect*) override
        {
            cells->setWidth(100);
        }
    } grid;
    CallLog log;
    CRecordingWindow cellArea(log, CTblCtrl::SectionCells);
    grid.SetChildWindow(CTblCtrl::SectionCells, &cellArea);
    grid.SetColumnCount(8);
    grid.resize(400, 200);
    grid.RecalcLayout();
    EXPECT_EQ(grid.GetSheet()->m_nCellAreaWidth, 100);
    EXPECT_EQ(cellArea.m_widget.geometry().topLeft(), QPoint(40, 20));
    EXPECT_EQ(cellArea.m_widget.width(), 100);
    // Navigation works in the area the application left.
    EXPECT_EQ(grid.GetSheet()->m_nMaxLeftCol, 7);
    grid.SetChildWindow(CTblCtrl::SectionCells, nullptr);
}

TEST(GridCoreTest, RepaintsGoToTheWindowThatShowsTheCell)
{
    CallLog log;
    CTblCtrl grid;
    std::vector<std::unique_ptr<CRecordingWindow>> windows;
    for (int section = CTblCtrl::SectionCells; section <= CTblCtrl::SectionHScroll; ++section) {
        windows.push_back(std::make_unique<CRecordingWindow>(log, section));
        grid.SetChildWindow(section, windows.back().get());
    }
    EXPECT_EQ(windows.front()->m_pSheet, grid.GetSheet());
    grid.RepaintCell(-1, 3);
    grid.RepaintCell(2, -1);
    grid.RepaintCell(1, 1);
    EXPECT_EQ(log, CallLog({"RepaintAll(3)", "RepaintAll(2)", "RepaintCell(1,1,1)"}));
    log.clear();
    grid.Redraw();
    EXPECT_EQ(log.size(), 7u);
    grid.SetSheetCount(2);
    log.clear();
    grid.ShowSheet(1, 0);
    EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](const std::string& call) {
        return call.rfind("Repaint", 0) == 0;
    }));
    EXPECT_EQ(windows.back()->m_pSheet, grid.GetSheet());
    for (int section = CTblCtrl::SectionCells; section <= CTblCtrl::SectionHScroll; ++section)
        grid.SetChildWindow(section, nullptr);
}

TEST(GridCoreTest, ThePopupMenuAsksFirstAndReportsItsCommands)
{
    CallLog log;
    CRecordingGrid grid(log);
    grid.SetColumnCount(3);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.ShowPopupMenu(1, 2, QPoint(10, 10), 1), 1);
    grid.GetSheet()->m_bPopupMenu = 1;
    grid.m_bAllowPopup = false;
    EXPECT_EQ(grid.ShowPopupMenu(1, 2, QPoint(10, 10), 1), 2);
    grid.m_bAllowPopup = true;
    EXPECT_EQ(grid.ShowPopupMenu(1, 2, QPoint(10, 10), 1), 3);
    QAction* command = grid.GetPopupMenu()->addAction("Command");
    command->setData(1001);
    QAction* plain = grid.GetPopupMenu()->addAction("Plain");
    plain->setData(999);
    EXPECT_EQ(grid.ShowPopupMenu(2, 1, QPoint(10, 10), 3), 0);
    log.clear();
    command->trigger();
    plain->trigger();
    EXPECT_EQ(log, CallLog({"OnPopupCommand(2,1,3,1001)"}));
    grid.GetPopupMenu()->close();
}

TEST(GridCoreTest, DefaultCallbackAnswers)
{
    CTblCtrl grid;
    QString tip;
    EXPECT_TRUE(grid.OnCellTip(2, 7, 1, tip));
    EXPECT_TRUE(tip.isEmpty()) << "no tip unless the application gives one";
    EXPECT_EQ(grid.GetDefaultBackColor(CTblCtrl::SectionCells),
              grid.palette().color(QPalette::Base));
    EXPECT_EQ(grid.GetDefaultBackColor(CTblCtrl::SectionCorner),
              grid.palette().color(QPalette::Button));
    EXPECT_TRUE(grid.OnCellTypeEvent(0, 0, 0, 53, 0));
    EXPECT_TRUE(grid.AllowCellMove(0, 0, 1, 1));
}

} // namespace
