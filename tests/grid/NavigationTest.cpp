// Moving the current cell and the view: permissions, clamping at the ends, pages, joined
// blocks, and the order in which the source, the application, the cell types and the
// windows hear of a change.
#include "GridLayout.h"
#include "RecordingCellType.h"
#include "RecordingGrid.h"
#include "RecordingSource.h"
#include "RecordingWindow.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// 8 columns of 75 pixels and 200 rows of 20 in a cell area of 300 x 100 pixels: four
// columns and five rows show at a time.
class NavigationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto source = std::make_unique<CRecordingSource>(m_log);
        m_pSource = source.get();
        m_grid.GetSheet()->ReplaceDefaultSource(std::move(source));
        m_grid.GetSheet()->m_gridDefCell.SetCellType(m_grid.RegisterCellType(&m_cellType));
        m_grid.SetColumnCount(8);
        m_grid.SetRowCount(200);
        LayOut(m_grid, 300, 100);
        ASSERT_EQ(m_grid.GetSheet()->m_nCellAreaWidth, 300);
        ASSERT_EQ(m_grid.GetSheet()->m_nCellAreaHeight, 100);
        m_log.clear();
    }

    // The calls logged whose names start with one of the prefixes.
    CallLog Only(std::initializer_list<const char*> prefixes) const
    {
        CallLog calls;
        for (const std::string& call : m_log) {
            for (const char* prefix : prefixes) {
                if (call.rfind(prefix, 0) == 0)
                    calls.push_back(call);
            }
        }
        return calls;
    }

    // Joins the 2 x 3 cells from (1, 10) to (2, 12) into one block.
    void JoinBlock()
    {
        for (long row = 10; row < 13; ++row) {
            for (int col = 1; col < 3; ++col) {
                CTblCell cell;
                cell.SetJoin(2, 3, static_cast<int32_t>((row - 10) * 2 + (col - 1)));
                m_grid.WriteCell(col, row, cell);
            }
        }
    }

    CallLog m_log;
    CRecordingGrid m_grid{m_log};
    CRecordingCellType m_cellType{m_log};
    CRecordingSource* m_pSource = nullptr;
};

TEST_F(NavigationTest, DownFromTheLastRowAsksTheSourceAndReports1)
{
    ASSERT_EQ(m_grid.MoveToRow(199), 0);
    m_log.clear();
    EXPECT_EQ(m_grid.StepRow(CTblSheet::StepForward), 1);
    EXPECT_EQ(m_log, CallLog({"ExtendRows(200,1)", "OnBeyondLastRow(200,1,0)"}));
    EXPECT_EQ(m_grid.GetCurRow(), 199);
    EXPECT_EQ(m_grid.GetRowCount(), 200);
}

TEST_F(NavigationTest, RowsTheSourceAddsCanBeMovedTo)
{
    m_grid.MoveToRow(199);
    m_pSource->m_nRowsToAdd = 5;
    m_log.clear();
    EXPECT_EQ(m_grid.StepRow(CTblSheet::StepForward), 0);
    EXPECT_EQ(Only({"ExtendRows", "OnBeyondLastRow"}),
              CallLog({"ExtendRows(200,1)", "OnBeyondLastRow(205,1,5)"}));
    EXPECT_EQ(m_grid.GetCurRow(), 200);
}

TEST_F(NavigationTest, APageDownPastTheEndStopsOnTheLastRow)
{
    m_grid.MoveToRow(197);
    m_log.clear();
    EXPECT_EQ(m_grid.StepRow(CTblSheet::PageForward), 0);
    EXPECT_EQ(m_log.front(), "ExtendRows(200,4)");
    EXPECT_EQ(m_grid.GetCurRow(), 199);
}

TEST_F(NavigationTest, RightFromTheLastColumnReports1AndCallsNothing)
{
    ASSERT_EQ(m_grid.MoveToCol(7), 0);
    m_log.clear();
    EXPECT_EQ(m_grid.StepCol(CTblSheet::StepForward), 1);
    EXPECT_EQ(m_grid.MoveToCol(100), 1);
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(m_grid.GetCurCol(), 7);
    m_grid.MoveToCol(2);
    EXPECT_EQ(m_grid.MoveToCol(100), 0);
    EXPECT_EQ(m_grid.GetCurCol(), 7);
    EXPECT_EQ(m_grid.MoveToCol(-4), 0);
    EXPECT_EQ(m_grid.GetCurCol(), 0);
}

TEST_F(NavigationTest, PageUpWith20PixelRowsIn100PixelsMovesSixRows)
{
    m_grid.MoveToRow(50);
    EXPECT_EQ(m_grid.StepRow(CTblSheet::PageBack), 0);
    EXPECT_EQ(m_grid.GetCurRow(), 44);
    EXPECT_EQ(m_grid.StepRow(CTblSheet::PageForward), 0);
    EXPECT_EQ(m_grid.GetCurRow(), 50);
    m_grid.MoveToRow(3);
    EXPECT_EQ(m_grid.StepRow(CTblSheet::PageBack), 0);
    EXPECT_EQ(m_grid.GetCurRow(), 0);
}

TEST_F(NavigationTest, StepsToTheEndsAndUnknownKinds)
{
    EXPECT_EQ(m_grid.StepRow(CTblSheet::Last), 0);
    EXPECT_EQ(m_grid.GetCurRow(), 199);
    EXPECT_EQ(m_grid.StepCol(CTblSheet::Last), 0);
    EXPECT_EQ(m_grid.GetCurCol(), 7);
    EXPECT_EQ(m_grid.StepRow(CTblSheet::First), 0);
    EXPECT_EQ(m_grid.GetCurRow(), 0);
    m_log.clear();
    EXPECT_EQ(m_grid.StepRow(9), 0);
    EXPECT_EQ(m_grid.ScrollCols(-1), 0);
    EXPECT_TRUE(m_log.empty());
}

TEST_F(NavigationTest, ARefusedMoveChangesNothing)
{
    m_grid.m_bAllowCellMove = false;
    EXPECT_EQ(m_grid.MoveToRow(150), 2);
    EXPECT_EQ(m_log, CallLog({"AllowCellMove(0,0,0,150)"}));
    m_log.clear();
    EXPECT_EQ(m_grid.MoveToCell(6, 150), 2);
    EXPECT_EQ(m_log, CallLog({"AllowMove(0,0,6,150)", "AllowCellMove(0,0,6,150)"}));
    EXPECT_EQ(m_grid.GetCurCol(), 0);
    EXPECT_EQ(m_grid.GetCurRow(), 0);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 0);
    EXPECT_EQ(m_grid.GetSheet()->m_nLeftCol, 0);
}

TEST_F(NavigationTest, TheSourceIsAskedAboutColumnMovesOnly)
{
    m_pSource->m_nAllowMove = 0;
    EXPECT_EQ(m_grid.MoveToCol(3), 2);
    EXPECT_EQ(m_log, CallLog({"AllowMove(0,0,3,0)"}));
    EXPECT_EQ(m_grid.MoveToRow(3), 0);
    EXPECT_EQ(m_grid.GetCurRow(), 3);
    EXPECT_EQ(m_grid.MoveToCell(1, 1), 2);
    EXPECT_EQ(m_grid.GetCurCol(), 0);
}

TEST_F(NavigationTest, CallbackOrderAfterMoveToCell)
{
    std::vector<std::unique_ptr<CRecordingWindow>> windows;
    for (int section = CTblCtrl::SectionCells; section <= CTblCtrl::SectionHScroll; ++section) {
        windows.push_back(std::make_unique<CRecordingWindow>(m_log, section));
        m_grid.SetChildWindow(section, windows.back().get());
    }
    EXPECT_EQ(m_grid.MoveToCell(6, 150), 0);
    EXPECT_EQ(m_log,
              CallLog({"AllowMove(0,0,6,150)", "AllowCellMove(0,0,6,150)", "ColumnChanged(0,6)",
                       "OnCurColChanged(0,6)", "RowChanged(0,150)", "OnCurRowChanged(0,150)",
                       "OnCurCellChanged(0,6,0,150)", "OnScrolledToCol(0,3)",
                       "OnScrolledToRow(0,146)", "CellLostFocus(0,0)", "CellGotFocus(6,150)",
                       "UpdateAfterMove(1)", "UpdateAfterMove(3)", "UpdateAfterMove(2)",
                       "UpdateAfterMove(6)", "UpdateAfterMove(7)", "UpdateAfterMove(4)"}));
    for (int section = CTblCtrl::SectionCells; section <= CTblCtrl::SectionHScroll; ++section)
        m_grid.SetChildWindow(section, nullptr);
}

TEST_F(NavigationTest, MovesScrollJustEnoughToShowTheCell)
{
    m_grid.MoveToRow(150);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 146);
    m_grid.MoveToRow(148);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 146);
    m_grid.MoveToRow(100);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 100);
    m_grid.MoveToCol(5);
    EXPECT_EQ(m_grid.GetSheet()->m_nLeftCol, 2);
}

TEST_F(NavigationTest, LockedRowsNeverScrollAway)
{
    ASSERT_EQ(m_grid.SetLockedCounts(0, 2), 0);
    m_grid.MoveToRow(100);
    // Three rows of 20 pixels fit below the two locked ones.
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 98);
    m_grid.MoveToRow(1);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 2);
    EXPECT_EQ(m_grid.ScrollToRow(0), 0);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 2);
    EXPECT_EQ(m_grid.SetLockedCounts(9, 0), 1);
}

TEST_F(NavigationTest, ScrollingStopsAtTheLargestTopRow)
{
    EXPECT_EQ(m_grid.ScrollToRow(500), 0);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 195);
    EXPECT_EQ(Only({"AllowViewMove", "OnScrolled"}),
              CallLog({"AllowViewMove(0,0,0,195)", "OnScrolledToRow(0,195)"}));
    EXPECT_EQ(m_grid.GetCurRow(), 0) << "scrolling leaves the current cell";
    EXPECT_EQ(m_grid.ScrollToCol(7), 0);
    EXPECT_EQ(m_grid.GetSheet()->m_nLeftCol, 4);
    EXPECT_EQ(m_grid.ScrollRows(CTblSheet::StepBack), 0);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 194);
}

TEST_F(NavigationTest, ARefusedScrollKeepsTheView)
{
    m_grid.m_bAllowViewMove = false;
    EXPECT_EQ(m_grid.ScrollRows(CTblSheet::PageForward), 2);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 0);
    EXPECT_EQ(m_log, CallLog({"AllowViewMove(0,0,0,6)"}));
}

TEST_F(NavigationTest, WithAllRowsVisibleTheTopRowStaysZero)
{
    m_grid.SetRowCount(3);
    m_log.clear();
    EXPECT_EQ(m_grid.ScrollToRow(2), 0);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 0);
    EXPECT_TRUE(m_log.empty());
}

TEST_F(NavigationTest, TheLargestTopRowFollowsRowHeights)
{
    m_grid.SetRowCount(10);
    for (long row = 7; row < 10; ++row)
        m_grid.SetRowSize(row, 40);
    // 40 + 40 fit in 100 pixels, a third row of 40 does not.
    EXPECT_EQ(m_grid.GetSheet()->m_nMaxTopRow, 8);
    m_grid.ScrollRows(CTblSheet::Last);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 8);
}

TEST_F(NavigationTest, ShrinkingTheRowsMovesTheViewBack)
{
    m_grid.ScrollToRow(195);
    m_log.clear();
    m_grid.SetRowCount(100);
    EXPECT_EQ(m_grid.GetSheet()->m_nTopRow, 95);
    EXPECT_EQ(Only({"OnScrolled"}), CallLog({"OnScrolledToRow(195,95)"}));
}

TEST_F(NavigationTest, JoinedBlocksAreEnteredAtTheirFirstCellAndLeftPastTheirEnd)
{
    JoinBlock();
    EXPECT_EQ(m_grid.MoveToCell(2, 11), 0);
    EXPECT_EQ(std::make_pair(m_grid.GetCurCol(), m_grid.GetCurRow()), std::make_pair(1, 10L));
    EXPECT_EQ(m_grid.StepRow(CTblSheet::StepForward), 0);
    EXPECT_EQ(m_grid.GetCurRow(), 13);
    EXPECT_EQ(m_grid.StepRow(CTblSheet::StepBack), 0);
    EXPECT_EQ(m_grid.GetCurRow(), 10);
    m_grid.MoveToCell(0, 11);
    EXPECT_EQ(m_grid.StepCol(CTblSheet::StepForward), 0);
    EXPECT_EQ(m_grid.GetCurCol(), 1);
    EXPECT_EQ(m_grid.StepCol(CTblSheet::StepForward), 0);
    EXPECT_EQ(m_grid.GetCurCol(), 3);
    m_grid.GetSheet()->m_bJoins = 0;
    EXPECT_EQ(m_grid.MoveToCell(2, 11), 0);
    EXPECT_EQ(m_grid.GetCurCol(), 2);
}

TEST_F(NavigationTest, HitTestingReportsTheWholeBlock)
{
    JoinBlock();
    m_grid.ScrollToRow(10);
    int col = -1;
    long row = -1;
    QRect rect;
    ASSERT_EQ(m_grid.CellAtPoint(200, 50, col, row, rect), 0);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(1, 10L));
    EXPECT_EQ(rect, QRect(75, 0, 150, 60));
    ASSERT_EQ(m_grid.CellAtPoint(10, 65, col, row, rect), 0);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(0, 13L));
    EXPECT_EQ(rect, QRect(0, 60, 75, 20));
    EXPECT_EQ(m_grid.CellAtPoint(301, 10, col, row, rect), 1);
    EXPECT_EQ(m_grid.CellAtPoint(10, -1, col, row, rect), 1);
}

TEST_F(NavigationTest, HitTestingSkipsFromLockedToScrolledColumns)
{
    m_grid.SetLockedCounts(1, 0);
    m_grid.ScrollToCol(3);
    int col = -1;
    long row = -1;
    QRect rect;
    ASSERT_EQ(m_grid.CellAtPoint(74, 0, col, row, rect), 0);
    EXPECT_EQ(col, 0);
    ASSERT_EQ(m_grid.CellAtPoint(75, 0, col, row, rect), 0);
    EXPECT_EQ(col, 3);
    EXPECT_EQ(rect.left(), 75);
}

TEST_F(NavigationTest, ADragExtendsTheSelectionAndKeepsTheAnchorCurrent)
{
    CTblSheet& sheet = *m_grid.GetSheet();
    sheet.m_bMultiSel = 1;
    m_grid.MoveToRow(3);
    EXPECT_EQ(sheet.m_selection.BlockCount(), 1);
    sheet.m_nSelMode = 3;
    m_grid.MoveToCell(2, 5);
    EXPECT_EQ(std::make_pair(m_grid.GetCurCol(), m_grid.GetCurRow()), std::make_pair(0, 3L));
    EXPECT_EQ(sheet.m_selection.BlockAt(1, 4), 0);
    EXPECT_EQ(sheet.m_selection.BlockAt(3, 4), -1);
    sheet.m_nSelMode = 1;
    sheet.m_nSelKeys = CTblSelection::MkControl;
    m_grid.MoveToCell(6, 9);
    EXPECT_EQ(sheet.m_selection.BlockCount(), 2);
    EXPECT_EQ(m_grid.GetCurCol(), 6);
    // Keys without Shift start over at the target.
    sheet.m_nSelMode = 0;
    m_grid.MoveToRow(20);
    EXPECT_EQ(sheet.m_selection.BlockCount(), 1);
    EXPECT_FALSE(sheet.m_selection.IsMultiple());
    EXPECT_EQ(m_grid.GetCurRow(), 20);
}

TEST_F(NavigationTest, ASheetShownAgainReportsItsViewAgain)
{
    m_grid.SetSheetCount(2);
    m_grid.ShowSheet(1);
    m_log.clear();
    m_grid.ShowSheet(0);
    EXPECT_EQ(Only({"OnScrolled"}), CallLog({"OnScrolledToCol(-1,0)", "OnScrolledToRow(-1,0)"}));
    EXPECT_EQ(m_grid.GetCurRow(), 0);
}

} // namespace
