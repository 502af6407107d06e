#include "TblNavigator.h"

#include "TblChildWindow.h"
#include "TblCtrl.h"
#include "TblDataSource.h"
#include "TblJoinGeometry.h"
#include "TblSheet.h"

#include <QGuiApplication>

#include <algorithm>
#include <array>

namespace {

// The order in which the windows update after a change notification.
constexpr std::array<int, 6> UpdateOrder = {
    CTblCtrl::SectionCells,   CTblCtrl::SectionRowHeader, CTblCtrl::SectionColHeader,
    CTblCtrl::SectionVScroll, CTblCtrl::SectionHScroll,   CTblCtrl::SectionCorner,
};

bool IsStepKind(int kind)
{
    return kind >= CTblSheet::StepBack && kind <= CTblSheet::Last;
}

} // namespace

CTblSheet& CTblNavigator::Sheet() const
{
    return *m_grid.GetSheet();
}

long CTblNavigator::SnapToJoin(long target, bool alongRows)
{
    const CTblSheet& s = Sheet();
    const long requested = alongRows ? s.m_nReqRow : s.m_nReqCol;
    const long count = alongRows ? s.m_nRowCount : s.m_nColCount;
    // The first index of the block at n along the axis and the index just past it.
    const auto blockAt = [&](long n, long& first, long& end) {
        CTblJoinGeometry::Block block;
        const bool joined = alongRows ? m_joins.BlockAt(s.m_nReqCol, n, block)
                                      : m_joins.BlockAt(static_cast<int>(n), s.m_nReqRow, block);
        first = alongRows ? block.row : block.col;
        end = first + (alongRows ? block.rows : block.cols);
        return joined;
    };
    long first = 0;
    long end = 0;
    if (!blockAt(target, first, end))
        return target;
    // Forward out of the block the move goes on past it; otherwise it stops at the
    // block's first cell.
    if (target > requested && requested >= first) {
        if (end >= count)
            return requested;
        long nextFirst = 0;
        long nextEnd = 0;
        return blockAt(end, nextFirst, nextEnd) ? nextFirst : end;
    }
    return first;
}

int CTblNavigator::ClampCol(int& col)
{
    const CTblSheet& s = Sheet();
    if (col >= s.m_nColCount) {
        if (s.m_nReqCol == s.m_nColCount - 1)
            return 1;
        col = s.m_nColCount - 1;
    }
    if (s.m_nColCount <= 0)
        return 1;
    col = static_cast<int>(SnapToJoin(std::max(col, 0), false));
    return 0;
}

int CTblNavigator::ClampRow(long& row)
{
    CTblSheet& s = Sheet();
    if (row >= s.m_nRowCount) {
        RequestRowsPastEnd(row - s.m_nRowCount + 1);
        if (s.m_nReqRow == s.m_nRowCount - 1)
            return 1;
        row = std::min(row, s.m_nRowCount - 1);
    }
    if (s.m_nRowCount <= 0)
        return 1;
    row = std::max(row, 0L);
    return 0;
}

bool CTblNavigator::RequestRowsPastEnd(long wanted)
{
    CTblSheet& s = Sheet();
    // The source may add rows, growing the grid's row count itself.
    const long before = s.m_nRowCount;
    long added = 0;
    s.m_pDefaultSource->ExtendRows(before, wanted, added);
    m_grid.OnBeyondLastRow(s.m_nRowCount, wanted, added);
    return s.m_nRowCount > before;
}

void CTblNavigator::TakeSelectionAnchor()
{
    CTblSheet& s = Sheet();
    const auto keys = QGuiApplication::keyboardModifiers();
    if (!s.m_bMultiSel || s.m_nSelMode != 0 || (keys & (Qt::ShiftModifier | Qt::ControlModifier)))
        return;
    if (!s.m_selection.IsMultiple())
        return;
    s.m_selection.GetAnchor(s.m_nReqCol, s.m_nReqRow);
    s.m_nCurCol = s.m_nReqCol;
    s.m_nCurRow = s.m_nReqRow;
}

int CTblNavigator::MoveToCol(int col)
{
    CTblSheet& s = Sheet();
    TakeSelectionAnchor();
    if (col == s.m_nReqCol)
        return 0;
    if (ClampCol(col) != 0)
        return 1;
    if (col == s.m_nReqCol)
        return 0;
    if (s.m_pDefaultSource->AllowMove(s.m_nReqCol, s.m_nReqRow, col, s.m_nReqRow) != 1)
        return 2;
    if (!m_grid.AllowCellMove(s.m_nReqCol, s.m_nReqRow, col, s.m_nReqRow))
        return 2;
    s.m_nReqCol = col;
    s.m_nLeftCol = s.LeftColShowing(col);
    NotifyChange();
    return 0;
}

int CTblNavigator::MoveToRow(long row)
{
    CTblSheet& s = Sheet();
    TakeSelectionAnchor();
    if (row == s.m_nReqRow)
        return 0;
    if (ClampRow(row) != 0)
        return 1;
    row = SnapToJoin(row, true);
    if (row == s.m_nReqRow)
        return 0;
    if (!m_grid.AllowCellMove(s.m_nReqCol, s.m_nReqRow, s.m_nReqCol, row))
        return 2;
    s.m_nReqRow = row;
    s.m_nTopRow = s.TopRowShowing(row);
    NotifyChange();
    return 0;
}

int CTblNavigator::MoveToCell(int col, long row)
{
    CTblSheet& s = Sheet();
    if (col == s.m_nReqCol && row == s.m_nReqRow)
        return 0;
    // Only columns that exist: a column outside would become the current one.
    if (col < 0 || col >= s.m_nColCount)
        return 1;
    if (ClampRow(row) != 0)
        return 1;
    CTblJoinGeometry::Block block;
    if (m_joins.BlockAt(col, row, block)) {
        col = block.col;
        row = block.row;
    }
    if (col == s.m_nReqCol && row == s.m_nReqRow)
        return 0;
    if (s.m_pDefaultSource->AllowMove(s.m_nCurCol, s.m_nCurRow, col, row) != 1)
        return 2;
    if (!m_grid.AllowCellMove(s.m_nCurCol, s.m_nCurRow, col, row))
        return 2;
    s.m_nReqCol = col;
    s.m_nReqRow = row;
    s.m_nLeftCol = s.LeftColShowing(col);
    s.m_nTopRow = s.TopRowShowing(row);
    NotifyChange();
    return 0;
}

int CTblNavigator::ScrollToRow(long row)
{
    CTblSheet& s = Sheet();
    if (row == s.m_nTopRow)
        return 0;
    row = std::clamp(row, s.m_nLockedRows, std::max(s.m_nMaxTopRow, s.m_nLockedRows));
    if (row == s.m_nTopRow)
        return 0;
    if (!m_grid.AllowViewMove(s.m_nLeftCol, s.m_nTopRow, s.m_nLeftCol, row))
        return 2;
    s.m_nTopRow = row;
    NotifyChange();
    return 0;
}

int CTblNavigator::ScrollToCol(int col)
{
    CTblSheet& s = Sheet();
    if (col == s.m_nLeftCol)
        return 0;
    col = std::clamp(col, s.m_nLockedCols, std::max(s.m_nMaxLeftCol, s.m_nLockedCols));
    if (col == s.m_nLeftCol)
        return 0;
    if (!m_grid.AllowViewMove(s.m_nLeftCol, s.m_nTopRow, col, s.m_nTopRow))
        return 2;
    s.m_nLeftCol = col;
    NotifyChange();
    return 0;
}

void CTblNavigator::LeaveGrid(bool forward)
{
    const auto takesTab = [this](const QWidget* widget) {
        return !m_grid.isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) &&
               widget->isVisible() && widget->isEnabled() && widget->window() == m_grid.window();
    };
    // The window's tab order, read forwards only: going backwards from the grid, Qt's chain
    // turns back at the grid's pop-up menu, a window of its own inside the grid.
    QList<QWidget*> before;
    QList<QWidget*> after;
    bool pastGrid = false;
    QWidget* first = m_grid.window();
    QWidget* widget = first;
    do {
        pastGrid = pastGrid || widget == &m_grid;
        if (takesTab(widget))
            (pastGrid ? after : before).append(widget);
        widget = widget->nextInFocusChain();
    } while (widget && widget != first);
    // From the grid's own place in the tab order, round to the other end when need be.
    QWidget* next = nullptr;
    if (forward)
        next = !after.isEmpty() ? after.constFirst() : before.value(0);
    else
        next = !before.isEmpty() ? before.constLast() : after.value(after.size() - 1);
    if (next)
        next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

int CTblNavigator::StepRow(int kind)
{
    return IsStepKind(kind) ? MoveToRow(Sheet().StepRowFrom(Sheet().m_nReqRow, kind)) : 0;
}

int CTblNavigator::StepCol(int kind)
{
    return IsStepKind(kind) ? MoveToCol(Sheet().StepColFrom(Sheet().m_nReqCol, kind)) : 0;
}

int CTblNavigator::ScrollRows(int kind)
{
    return IsStepKind(kind) ? ScrollToRow(Sheet().StepRowFrom(Sheet().m_nTopRow, kind)) : 0;
}

int CTblNavigator::ScrollCols(int kind)
{
    return IsStepKind(kind) ? ScrollToCol(Sheet().StepColFrom(Sheet().m_nLeftCol, kind)) : 0;
}

void CTblNavigator::UpdateSelection()
{
    CTblSheet& s = Sheet();
    switch (s.m_nSelMode) {
    case 1:
    case 2:
        s.m_selection.Press(s.m_nReqCol, s.m_nReqRow, s.m_nSelKeys);
        break;
    case 3:
        s.m_selection.ExtendTo(s.m_nReqCol, s.m_nReqRow);
        break;
    default:
        if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)
            s.m_selection.ExtendTo(s.m_nReqCol, s.m_nReqRow);
        else
            s.m_selection.StartAt(s.m_nReqCol, s.m_nReqRow);
        break;
    }
    s.m_selection.GetAnchor(s.m_nCurCol, s.m_nCurRow);
}

void CTblNavigator::TellCellType(int col, long row, bool gained)
{
    if (col < 0 || row < 0)
        return;
    CTblCell cell;
    m_grid.ComposeCell(col, row, cell);
    CTblCellType* type = m_grid.TypeOf(cell);
    if (gained)
        type->CellGotFocus(col, row, cell);
    else
        type->CellLostFocus(col, row, cell);
}

void CTblNavigator::NotifyChange()
{
    CTblSheet& s = Sheet();
    if (!s.m_bMultiSel || m_grid.IsEditing()) {
        s.m_nCurCol = s.m_nReqCol;
        s.m_nCurRow = s.m_nReqRow;
    } else {
        UpdateSelection();
    }
    const int oldCol = s.m_nPrevCurCol;
    const long oldRow = s.m_nPrevCurRow;
    const int newCol = s.m_nCurCol;
    const long newRow = s.m_nCurRow;
    if (newCol != oldCol) {
        s.m_pDefaultSource->ColumnChanged(oldCol, newCol);
        m_grid.OnCurColChanged(oldCol, newCol);
    }
    if (newRow != oldRow) {
        s.m_pDefaultSource->RowChanged(oldRow, newRow);
        m_grid.OnCurRowChanged(oldRow, newRow);
    }
    if (newCol != oldCol || newRow != oldRow)
        m_grid.OnCurCellChanged(oldCol, newCol, oldRow, newRow);
    if (s.m_nLeftCol != s.m_nPrevLeftCol)
        m_grid.OnScrolledToCol(s.m_nPrevLeftCol, s.m_nLeftCol);
    if (s.m_nTopRow != s.m_nPrevTopRow)
        m_grid.OnScrolledToRow(s.m_nPrevTopRow, s.m_nTopRow);
    TellCellType(oldCol, oldRow, false);
    TellCellType(newCol, newRow, true);
    for (int section : UpdateOrder) {
        if (CTblChildWindow* window = m_grid.GetChildWindow(section))
            window->UpdateAfterMove();
    }
    s.m_nPrevTopRow = s.m_nTopRow;
    s.m_nPrevCurRow = s.m_nCurRow;
    s.m_nPrevLeftCol = s.m_nLeftCol;
    s.m_nPrevCurCol = s.m_nCurCol;
}

void CTblNavigator::ApplyColumnGeometry()
{
    Sheet().RecalcLockedColsWidth();
    ApplyLargestLeftCol();
}

void CTblNavigator::ApplyRowGeometry()
{
    Sheet().RecalcLockedRowsHeight();
    ApplyLargestTopRow();
}

void CTblNavigator::ApplyLargestTopRow()
{
    CTblSheet& s = Sheet();
    const long before = s.m_nMaxTopRow;
    s.m_nMaxTopRow = s.LargestTopRow();
    s.m_nTopRow = std::clamp(s.m_nTopRow, s.m_nLockedRows, s.m_nMaxTopRow);
    // The vertical scroll bar appears or goes away.
    if ((before == 0) != (s.m_nMaxTopRow == 0))
        m_grid.RecalcLayout();
    if (s.m_nTopRow != s.m_nPrevTopRow)
        NotifyChange();
}

void CTblNavigator::ApplyLargestLeftCol()
{
    CTblSheet& s = Sheet();
    s.m_nMaxLeftCol = s.LargestLeftCol();
    s.m_nLeftCol = std::clamp(s.m_nLeftCol, s.m_nLockedCols, s.m_nMaxLeftCol);
    if (s.m_nLeftCol != s.m_nPrevLeftCol)
        NotifyChange();
}
