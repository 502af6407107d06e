#include "TblCtrl.h"

#include "TblCellArea.h"
#include "TblCellFormat.h"
#include "TblChildWindow.h"
#include "TblColHeader.h"
#include "TblCornerBox.h"
#include "TblDataSource.h"
#include "TblEditWnd.h"
#include "TblHScrollBar.h"
#include "TblRowHeader.h"
#include "TblSheetTabs.h"
#include "TblTipWnd.h"
#include "TblVScrollBar.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMetaProperty>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <numeric>

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

// Shares total out over sizes in proportion to them; evenly when they are all 0.
void ShareOut(std::vector<int>& sizes, int total)
{
    if (sizes.empty())
        return;
    const long sum = std::accumulate(sizes.begin(), sizes.end(), 0L);
    if (sum <= 0) {
        const int each = total / static_cast<int>(sizes.size());
        std::fill(sizes.begin(), sizes.end(), each);
        sizes.back() = total - each * static_cast<int>(sizes.size() - 1);
        return;
    }
    for (int& size : sizes)
        size = static_cast<int>(static_cast<double>(total) * size / static_cast<double>(sum) + 0.5);
}

// A rectangle from its edges, right and bottom excluded; empty when they cross.
QRect RectFromEdges(int left, int top, int right, int bottom)
{
    return QRect(left, top, std::max(right - left, 0), std::max(bottom - top, 0));
}

// The sum of sizes from 0 on, stopping after the first that makes it exceed limit.
template <typename Index, typename SizeOf> int SumUpTo(Index count, int limit, SizeOf sizeOf)
{
    int sum = 0;
    for (Index n = 0; n < count && sum <= limit; ++n)
        sum += sizeOf(n);
    return sum;
}

} // namespace

CTblCtrl::CTblCtrl(QWidget* parent)
    : QWidget(parent), m_pPopupMenu(new QMenu(this)), m_whitePen(QColor(0xFF, 0xFF, 0xFF), 1),
      m_shadowPen(palette().color(QPalette::Dark), 1)
{
    connect(m_pPopupMenu, &QMenu::triggered, this, &CTblCtrl::OnPopupAction);
    // The built-in types first, so that every cell has a type from the first sheet on.
    for (CTblCellType* type :
         {&m_normalType, static_cast<CTblCellType*>(&m_dropListType),
          static_cast<CTblCellType*>(&m_checkBoxType), static_cast<CTblCellType*>(&m_arrowType)})
        RegisterCellType(type);
    SetSheetCount(1);
    m_nRedraw = 1;
}

CTblCtrl::~CTblCtrl()
{
    for (CTblChildWindow* window : m_windows) {
        if (window)
            window->SetSheet(nullptr);
    }
    // The grid's own windows go before the sheets and cell types they use; Qt would
    // delete them only after this destructor.
    delete m_pEditWnd;
    delete m_pTipWnd;
    for (QWidget* window :
         std::initializer_list<QWidget*>{m_pSheetTabs, m_pHScrollBar, m_pVScrollBar, m_pCornerBox,
                                         m_pRowHeader, m_pColHeader, m_pCellArea})
        delete window;
}

// ---- Counts and sizes ----

int CTblCtrl::SetDefaultRowHeight(int height)
{
    if (height < 1 || height > MaxSize)
        return 1;
    m_pSheet->m_nDefRowHeight = height;
    ApplyRowGeometry();
    return 0;
}

int CTblCtrl::SetColumnCount(int count, int redraw)
{
    if (count < 0 || count > MaxColumns)
        return 1;
    CTblSheet& s = *m_pSheet;
    if (static_cast<size_t>(count) < s.m_columns.size())
        s.m_columns.erase(s.m_columns.begin() + count, s.m_columns.end());
    for (int col = static_cast<int>(s.m_columns.size()); col < count; ++col)
        s.m_columns.push_back(s.NewColumn(col));
    s.m_nColCount = count;
    // The current, previous and requested columns stay within the columns.
    for (int* col : {&s.m_nCurCol, &s.m_nPrevCurCol, &s.m_nReqCol})
        *col = std::min(*col, count - 1);
    ApplyColumnGeometry();
    if (s.m_nCurCol < 0 && count > 0)
        MoveToCol(0);
    if (redraw)
        Redraw();
    return 0;
}

int CTblCtrl::SetRowCount(long count, int redraw)
{
    if (count < 0)
        return 1;
    CTblSheet& s = *m_pSheet;
    if (count > UniformRowsAbove)
        SetUniformRows(1);
    if (!s.m_bUniformRows)
        s.m_rowHeights.resize(static_cast<size_t>(count), s.m_nDefRowHeight);
    s.m_nRowCount = count;
    for (long* row : {&s.m_nCurRow, &s.m_nPrevCurRow, &s.m_nReqRow})
        *row = std::min(*row, count - 1);
    ApplyRowGeometry();
    if (s.m_nCurRow < 0 && count > 0)
        MoveToRow(0);
    if (redraw)
        Redraw();
    return 0;
}

int CTblCtrl::SetColumnWidth(int col, int width)
{
    if (col < 0) {
        SetHeadingColumnWidth(col, width);
        return 1;
    }
    // Negative widths would break every walk over the columns.
    if (col >= m_pSheet->m_nColCount || width < 0)
        return 1;
    m_pSheet->m_columns[static_cast<size_t>(col)].m_nWidth = width;
    ApplyColumnGeometry();
    return 0;
}

int CTblCtrl::GetColumnWidth(int col) const
{
    if (col < 0 || col >= m_pSheet->m_nColCount)
        return 1;
    return m_pSheet->m_columns[static_cast<size_t>(col)].m_nWidth;
}

int CTblCtrl::SetHeadingColumnWidth(int col, int width)
{
    CTblSheet& s = *m_pSheet;
    const int k = -1 - col;
    if (k < 0 || k >= s.HeadColCount())
        return 1;
    if (width < 0 || width > MaxSize)
        return 2;
    s.m_headColWidths[static_cast<size_t>(k)] = width;
    if (s.HeadColCount() == 1 && s.m_nRowHeaderWidth != width) {
        s.m_nRowHeaderWidth = width;
        RecalcLayout();
    }
    return 0;
}

int CTblCtrl::SetHeadingRowHeight(long row, int height)
{
    CTblSheet& s = *m_pSheet;
    const long k = -1 - row;
    if (k < 0 || k >= s.HeadRowCount())
        return 1;
    if (height < 0 || height > MaxSize)
        return 2;
    s.m_headRowHeights[static_cast<size_t>(k)] = height;
    return 0;
}

int CTblCtrl::SetRowSize(long row, int height)
{
    CTblSheet& s = *m_pSheet;
    if (row < 0 || row >= s.m_nRowCount)
        return 0;
    // The common height of uniform rows is a default height, which is at least 1.
    if (height < (s.m_bUniformRows ? 1 : 0))
        return 1;
    if (s.m_bUniformRows)
        s.m_nDefRowHeight = height;
    else if (static_cast<size_t>(row) < s.m_rowHeights.size())
        s.m_rowHeights[static_cast<size_t>(row)] = height;
    ApplyRowGeometry();
    return 0;
}

int CTblCtrl::GetRowSize(long row) const
{
    if (row < 0 || row >= m_pSheet->m_nRowCount)
        return 0;
    return m_pSheet->RowSize(row);
}

int CTblCtrl::SetUniformRows(int uniform)
{
    CTblSheet& s = *m_pSheet;
    if (uniform) {
        std::vector<int>().swap(s.m_rowHeights);
        s.m_bUniformRows = 1;
    } else if (s.m_bUniformRows) {
        s.m_rowHeights.assign(static_cast<size_t>(s.m_nRowCount), s.m_nDefRowHeight);
        s.m_bUniformRows = 0;
    }
    ApplyRowGeometry();
    return 0;
}

int CTblCtrl::SetColHeaderHeight(int height)
{
    if (height < 0 || height > MaxSize)
        return 1;
    ShareOut(m_pSheet->m_headRowHeights, height);
    m_pSheet->m_nColHeaderHeight = height;
    RecalcLayout();
    return 0;
}

int CTblCtrl::SetRowHeaderWidth(int width)
{
    if (width < 0 || width > MaxSize)
        return 1;
    ShareOut(m_pSheet->m_headColWidths, width);
    m_pSheet->m_nRowHeaderWidth = width;
    RecalcLayout();
    return 0;
}

int CTblCtrl::SetLockedCounts(int cols, long rows)
{
    CTblSheet& s = *m_pSheet;
    if (cols < 0 || cols > s.m_nColCount || rows < 0 || rows > s.m_nRowCount)
        return 1;
    s.m_nLockedCols = cols;
    s.m_nLockedRows = rows;
    s.m_nLeftCol = std::max(s.m_nLeftCol, cols);
    s.m_nTopRow = std::max(s.m_nTopRow, rows);
    ApplyColumnGeometry();
    ApplyRowGeometry();
    return 0;
}

int CTblCtrl::SetCurCellStyle(int style)
{
    if (style < 0 || style > 3)
        return 1;
    m_pSheet->m_nCurCellStyle = style;
    return 0;
}

void CTblCtrl::ApplyColumnGeometry()
{
    m_pSheet->RecalcLockedColsWidth();
    ApplyLargestLeftCol();
}

void CTblCtrl::ApplyRowGeometry()
{
    m_pSheet->RecalcLockedRowsHeight();
    ApplyLargestTopRow();
}

void CTblCtrl::ApplyLargestTopRow()
{
    CTblSheet& s = *m_pSheet;
    const long before = s.m_nMaxTopRow;
    s.m_nMaxTopRow = s.LargestTopRow();
    s.m_nTopRow = std::clamp(s.m_nTopRow, s.m_nLockedRows, s.m_nMaxTopRow);
    // The vertical scroll bar appears or goes away.
    if ((before == 0) != (s.m_nMaxTopRow == 0))
        RecalcLayout();
    if (s.m_nTopRow != s.m_nPrevTopRow)
        NotifyChange();
}

void CTblCtrl::ApplyLargestLeftCol()
{
    CTblSheet& s = *m_pSheet;
    s.m_nMaxLeftCol = s.LargestLeftCol();
    s.m_nLeftCol = std::clamp(s.m_nLeftCol, s.m_nLockedCols, s.m_nMaxLeftCol);
    if (s.m_nLeftCol != s.m_nPrevLeftCol)
        NotifyChange();
}

// ---- Fonts ----

int CTblCtrl::SetDefaultFont(int index)
{
    const QFont* font = m_fonts.At(index);
    if (!font)
        return 1;
    m_pSheet->m_pDefaultFont = font;
    return 0;
}

int CTblCtrl::RegisterFontEx(int height, int width, int escapement, int orientation, int weight,
                             uint8_t italic, uint8_t underline, uint8_t strikeOut, uint8_t charSet,
                             uint8_t outPrecision, uint8_t clipPrecision, uint8_t quality,
                             uint8_t pitchAndFamily, const QString& faceName)
{
    return m_fonts.Register(CTblFontList::LogFont{
        height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
        outPrecision, clipPrecision, quality, pitchAndFamily, faceName});
}

int CTblCtrl::RegisterFont(const QString& faceName, int height, int weight)
{
    return RegisterFontEx(height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, faceName);
}

// ---- Cells ----

CTblDataSource* CTblCtrl::SourceOf(int col, int& sourceCol) const
{
    const CTblSheet& s = *m_pSheet;
    if (col >= 0 && col < s.m_nColCount) {
        const CTblColumnInfo& column = s.m_columns[static_cast<size_t>(col)];
        if (column.m_pSource) {
            sourceCol = column.m_nSourceCol;
            return column.m_pSource;
        }
    }
    sourceCol = col;
    return s.m_pDefaultSource.get();
}

CTblCellType* CTblCtrl::TypeOf(const CTblCell& cell) const
{
    CTblCellType* type = GetCellType(cell.GetCellType());
    return type ? type : m_cellTypes.front();
}

CTblCellType* CTblCtrl::TypeAt(int col, long row)
{
    CTblCell cell;
    ComposeCell(col, row, cell);
    return TypeOf(cell);
}

int CTblCtrl::ReadCell(int col, long row, CTblCell& cell)
{
    if (col >= m_pSheet->m_nColCount)
        return 1;
    cell.ReplaceMask(0);
    int sourceCol = col;
    return SourceOf(col, sourceCol)->FetchCell(sourceCol, row, cell);
}

int CTblCtrl::ComposeCell(int col, long row, CTblCell& cell)
{
    const CTblSheet& s = *m_pSheet;
    cell.ReplaceMask(0);
    if (col < 0 || row < 0 || col >= s.m_nColCount)
        s.m_headDefCell.CopyInto(cell);
    else if (const auto& defaultCell = s.m_columns[static_cast<size_t>(col)].m_pDefaultCell)
        defaultCell->CopyInto(cell);
    if (row >= s.m_nRowCount)
        return 0;
    int sourceCol = col;
    SourceOf(col, sourceCol)->FetchCell(sourceCol, row, cell);
    OnCellFetch(sourceCol, row, cell);
    if (CTblCellFormat* format = cell.GetFormat())
        format->AdjustCell(col, row, cell);
    // One level of style: a style that names a style itself does not chain on.
    if (const CTblCell* style = cell.GetStyle(); style && style != &cell)
        style->CopyInto(cell);
    return 0;
}

int CTblCtrl::WriteCell(int col, long row, CTblCell& cell)
{
    if (col >= m_pSheet->m_nColCount)
        return 1;
    OnCellStore(col, row, cell);
    int sourceCol = col;
    SourceOf(col, sourceCol)->StoreCell(sourceCol, row, cell);
    // What the program writes shows at once, not at the next repaint for another reason.
    if (m_nRedraw)
        RepaintCell(col, row);
    return 0;
}

int CTblCtrl::SetCellText(int col, long row, const QString& text)
{
    if (col >= m_pSheet->m_nColCount)
        return 1;
    // A cell of its own rather than a shared one: OnCellStore may write other cells.
    CTblCell cell;
    ReadCell(col, row, cell);
    cell.AssignText(text);
    return WriteCell(col, row, cell);
}

int CTblCtrl::GetCellText(int col, long row, QString& text)
{
    text.clear();
    if (col >= m_pSheet->m_nColCount)
        return 1;
    CTblCell cell;
    ReadCell(col, row, cell);
    if (const QString* value = cell.TextValue())
        text = *value;
    return 0;
}

int CTblCtrl::SetCellAlignment(int col, long row, uint16_t alignment)
{
    if (col >= m_pSheet->m_nColCount)
        return 1;
    CTblCell cell;
    ReadCell(col, row, cell);
    cell.SetAlignment(alignment);
    return WriteCell(col, row, cell);
}

// ---- Navigation ----

bool CTblCtrl::BlockOf(const CTblCell& cell, int col, long row, JoinBlock& block)
{
    if (col < 0 || row < 0)
        return false;
    int16_t cols = 0;
    int32_t rows = 0;
    int32_t place = 0;
    if (cell.JoinValues(cols, rows, place) != 0)
        return false;
    // Join values that describe no block containing the cell are ignored.
    if (cols < 1 || rows < 1 || place < 0 || place >= static_cast<int64_t>(cols) * rows)
        return false;
    block = JoinBlock{col - place % cols, row - place / cols, cols, rows};
    return block.col >= 0 && block.row >= 0;
}

bool CTblCtrl::JoinedBlockAt(int col, long row, JoinBlock& block)
{
    if (col < 0 || row < 0)
        return false;
    CTblCell cell;
    ComposeCell(col, row, cell);
    return BlockOf(cell, col, row, block);
}

QRect CTblCtrl::BlockRect(const JoinBlock& block) const
{
    const CTblSheet& s = *m_pSheet;
    int width = 0;
    for (int c = block.col; c < block.col + block.cols; ++c)
        width += s.ColSize(c);
    int height = 0;
    for (long r = block.row; r < block.row + block.rows; ++r)
        height += s.RowSize(r);
    return QRect(s.ColLeft(block.col), s.RowTop(block.row), width, height);
}

bool CTblCtrl::JoinedBlockRect(const CTblCell& cell, int col, long row, int& firstCol,
                               long& firstRow, QRect& rect) const
{
    JoinBlock block;
    if (!m_pSheet->m_bJoins || !BlockOf(cell, col, row, block))
        return false;
    firstCol = block.col;
    firstRow = block.row;
    rect = BlockRect(block);
    return true;
}

bool CTblCtrl::VisibleCellRect(int col, long row, QRect& rect)
{
    const CTblSheet& s = *m_pSheet;
    JoinBlock block;
    if (s.m_bJoins && JoinedBlockAt(col, row, block)) {
        rect = BlockRect(block);
        return rect.intersects(QRect(0, 0, s.m_nCellAreaWidth, s.m_nCellAreaHeight));
    }
    int left = 0;
    int width = 0;
    int top = 0;
    int height = 0;
    if (!s.ColSpan(col, left, width) || !s.RowSpan(row, top, height))
        return false;
    rect = QRect(left, top, width, height);
    return true;
}

long CTblCtrl::SnapToJoin(long target, bool alongRows)
{
    const CTblSheet& s = *m_pSheet;
    if (!s.m_bJoins)
        return target;
    const long requested = alongRows ? s.m_nReqRow : s.m_nReqCol;
    const long count = alongRows ? s.m_nRowCount : s.m_nColCount;
    // The first index of the block at n along the axis and the index just past it.
    const auto blockAt = [&](long n, long& first, long& end) {
        JoinBlock block;
        const bool joined = alongRows ? JoinedBlockAt(s.m_nReqCol, n, block)
                                      : JoinedBlockAt(static_cast<int>(n), s.m_nReqRow, block);
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

int CTblCtrl::ClampCol(int& col)
{
    const CTblSheet& s = *m_pSheet;
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

int CTblCtrl::ClampRow(long& row)
{
    CTblSheet& s = *m_pSheet;
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

bool CTblCtrl::RequestRowsPastEnd(long wanted)
{
    CTblSheet& s = *m_pSheet;
    // The source may add rows, growing the grid's row count itself.
    const long before = s.m_nRowCount;
    long added = 0;
    s.m_pDefaultSource->ExtendRows(before, wanted, added);
    OnBeyondLastRow(s.m_nRowCount, wanted, added);
    return s.m_nRowCount > before;
}

void CTblCtrl::TakeSelectionAnchor()
{
    CTblSheet& s = *m_pSheet;
    const auto keys = QGuiApplication::keyboardModifiers();
    if (!s.m_bMultiSel || s.m_nSelMode != 0 || (keys & (Qt::ShiftModifier | Qt::ControlModifier)))
        return;
    if (!s.m_selection.IsMultiple())
        return;
    s.m_selection.GetAnchor(s.m_nReqCol, s.m_nReqRow);
    s.m_nCurCol = s.m_nReqCol;
    s.m_nCurRow = s.m_nReqRow;
}

int CTblCtrl::MoveToCol(int col)
{
    CTblSheet& s = *m_pSheet;
    TakeSelectionAnchor();
    if (col == s.m_nReqCol)
        return 0;
    if (ClampCol(col) != 0)
        return 1;
    if (col == s.m_nReqCol)
        return 0;
    if (s.m_pDefaultSource->AllowMove(s.m_nReqCol, s.m_nReqRow, col, s.m_nReqRow) != 1)
        return 2;
    if (!AllowCellMove(s.m_nReqCol, s.m_nReqRow, col, s.m_nReqRow))
        return 2;
    s.m_nReqCol = col;
    s.m_nLeftCol = s.LeftColShowing(col);
    NotifyChange();
    return 0;
}

int CTblCtrl::MoveToRow(long row)
{
    CTblSheet& s = *m_pSheet;
    TakeSelectionAnchor();
    if (row == s.m_nReqRow)
        return 0;
    if (ClampRow(row) != 0)
        return 1;
    row = SnapToJoin(row, true);
    if (row == s.m_nReqRow)
        return 0;
    if (!AllowCellMove(s.m_nReqCol, s.m_nReqRow, s.m_nReqCol, row))
        return 2;
    s.m_nReqRow = row;
    s.m_nTopRow = s.TopRowShowing(row);
    NotifyChange();
    return 0;
}

int CTblCtrl::MoveToCell(int col, long row)
{
    CTblSheet& s = *m_pSheet;
    if (col == s.m_nReqCol && row == s.m_nReqRow)
        return 0;
    // Only columns that exist: a column outside would become the current one.
    if (col < 0 || col >= s.m_nColCount)
        return 1;
    if (ClampRow(row) != 0)
        return 1;
    JoinBlock block;
    if (s.m_bJoins && JoinedBlockAt(col, row, block)) {
        col = block.col;
        row = block.row;
    }
    if (col == s.m_nReqCol && row == s.m_nReqRow)
        return 0;
    if (s.m_pDefaultSource->AllowMove(s.m_nCurCol, s.m_nCurRow, col, row) != 1)
        return 2;
    if (!AllowCellMove(s.m_nCurCol, s.m_nCurRow, col, row))
        return 2;
    s.m_nReqCol = col;
    s.m_nReqRow = row;
    s.m_nLeftCol = s.LeftColShowing(col);
    s.m_nTopRow = s.TopRowShowing(row);
    NotifyChange();
    return 0;
}

int CTblCtrl::ScrollToRow(long row)
{
    CTblSheet& s = *m_pSheet;
    if (row == s.m_nTopRow)
        return 0;
    row = std::clamp(row, s.m_nLockedRows, std::max(s.m_nMaxTopRow, s.m_nLockedRows));
    if (row == s.m_nTopRow)
        return 0;
    if (!AllowViewMove(s.m_nLeftCol, s.m_nTopRow, s.m_nLeftCol, row))
        return 2;
    s.m_nTopRow = row;
    NotifyChange();
    return 0;
}

int CTblCtrl::ScrollToCol(int col)
{
    CTblSheet& s = *m_pSheet;
    if (col == s.m_nLeftCol)
        return 0;
    col = std::clamp(col, s.m_nLockedCols, std::max(s.m_nMaxLeftCol, s.m_nLockedCols));
    if (col == s.m_nLeftCol)
        return 0;
    if (!AllowViewMove(s.m_nLeftCol, s.m_nTopRow, col, s.m_nTopRow))
        return 2;
    s.m_nLeftCol = col;
    NotifyChange();
    return 0;
}

void CTblCtrl::LeaveGrid(bool forward)
{
    const auto takesTab = [this](const QWidget* widget) {
        return !isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) &&
               widget->isVisible() && widget->isEnabled() && widget->window() == window();
    };
    // The window's tab order, read forwards only: going backwards from the grid, Qt's chain
    // turns back at the grid's pop-up menu, a window of its own inside the grid.
    QList<QWidget*> before;
    QList<QWidget*> after;
    bool pastGrid = false;
    QWidget* first = window();
    QWidget* widget = first;
    do {
        pastGrid = pastGrid || widget == this;
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

int CTblCtrl::StepRow(int kind)
{
    return IsStepKind(kind) ? MoveToRow(m_pSheet->StepRowFrom(m_pSheet->m_nReqRow, kind)) : 0;
}

int CTblCtrl::StepCol(int kind)
{
    return IsStepKind(kind) ? MoveToCol(m_pSheet->StepColFrom(m_pSheet->m_nReqCol, kind)) : 0;
}

int CTblCtrl::ScrollRows(int kind)
{
    return IsStepKind(kind) ? ScrollToRow(m_pSheet->StepRowFrom(m_pSheet->m_nTopRow, kind)) : 0;
}

int CTblCtrl::ScrollCols(int kind)
{
    return IsStepKind(kind) ? ScrollToCol(m_pSheet->StepColFrom(m_pSheet->m_nLeftCol, kind)) : 0;
}

void CTblCtrl::UpdateSelection()
{
    CTblSheet& s = *m_pSheet;
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

void CTblCtrl::TellCellType(int col, long row, bool gained)
{
    if (col < 0 || row < 0)
        return;
    CTblCell cell;
    ComposeCell(col, row, cell);
    CTblCellType* type = TypeOf(cell);
    if (gained)
        type->CellGotFocus(col, row, cell);
    else
        type->CellLostFocus(col, row, cell);
}

void CTblCtrl::NotifyChange()
{
    CTblSheet& s = *m_pSheet;
    if (!s.m_bMultiSel || m_bEditing) {
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
        OnCurColChanged(oldCol, newCol);
    }
    if (newRow != oldRow) {
        s.m_pDefaultSource->RowChanged(oldRow, newRow);
        OnCurRowChanged(oldRow, newRow);
    }
    if (newCol != oldCol || newRow != oldRow)
        OnCurCellChanged(oldCol, newCol, oldRow, newRow);
    if (s.m_nLeftCol != s.m_nPrevLeftCol)
        OnScrolledToCol(s.m_nPrevLeftCol, s.m_nLeftCol);
    if (s.m_nTopRow != s.m_nPrevTopRow)
        OnScrolledToRow(s.m_nPrevTopRow, s.m_nTopRow);
    TellCellType(oldCol, oldRow, false);
    TellCellType(newCol, newRow, true);
    for (int section : UpdateOrder) {
        if (CTblChildWindow* window = m_windows[static_cast<size_t>(section)])
            window->UpdateAfterMove();
    }
    s.m_nPrevTopRow = s.m_nTopRow;
    s.m_nPrevCurRow = s.m_nCurRow;
    s.m_nPrevLeftCol = s.m_nLeftCol;
    s.m_nPrevCurCol = s.m_nCurCol;
}

// ---- Column layout ----

int CTblCtrl::FitColumnsToWidth(int first, int last)
{
    CTblSheet& s = *m_pSheet;
    if (first < 0 || last < first || last >= s.m_nColCount)
        return 1;
    std::vector<int> widths;
    for (int col = first; col <= last; ++col)
        widths.push_back(s.m_columns[static_cast<size_t>(col)].m_nWidth);
    const long sum = std::accumulate(widths.begin(), widths.end(), 0L);
    const int total = s.m_nCellAreaWidth;
    if (sum <= 0) {
        // Columns without width share the area evenly rather than dividing by zero.
        ShareOut(widths, total);
    } else {
        const float factor = static_cast<float>(total) / static_cast<float>(sum);
        int given = 0;
        for (size_t i = 0; i + 1 < widths.size(); ++i) {
            widths[i] = static_cast<int>(factor * static_cast<float>(widths[i]));
            given += widths[i];
        }
        widths.back() = total - given;
    }
    for (int col = first; col <= last; ++col)
        s.m_columns[static_cast<size_t>(col)].m_nWidth = widths[static_cast<size_t>(col - first)];
    ApplyColumnGeometry();
    Redraw();
    return 0;
}

std::vector<long> CTblCtrl::RowsToMeasure(bool headings, long limit) const
{
    const CTblSheet& s = *m_pSheet;
    std::vector<long> rows;
    const auto add = [&](long row) {
        if (static_cast<long>(rows.size()) < limit)
            rows.push_back(row);
    };
    if (headings) {
        for (long row = -s.HeadRowCount(); row < 0; ++row)
            add(row);
    }
    // As the display shows them: the locked rows, then the scrolled ones from the top row.
    for (long row = 0; row < std::min(s.m_nLockedRows, s.m_nRowCount); ++row)
        add(row);
    for (long row = s.m_nTopRow; row < s.m_nRowCount && static_cast<long>(rows.size()) < limit;
         ++row)
        add(row);
    return rows;
}

int CTblCtrl::FitColumnsToContent(int first, int last, long rowLimit, int flags)
{
    CTblSheet& s = *m_pSheet;
    if (first < -s.HeadColCount())
        return 1;
    if (last >= s.m_nColCount)
        return 2;
    if (last < first)
        return 3;
    // Text is measured as the cell area draws it: in the sheet's default font at the
    // screen's resolution.
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    QPainter dc(&image);
    dc.setFont(s.m_pDefaultFont ? *s.m_pDefaultFont : font());
    const std::vector<long> rows = RowsToMeasure((flags & FitHeadings) != 0, rowLimit);
    for (int col = first; col <= last; ++col) {
        int widest = -1;
        for (long row : rows) {
            CTblCell cell;
            ComposeCell(col, row, cell);
            if (cell.HasAnyProperty(CTblCell::PropJoin))
                continue;
            QSize size;
            TypeOf(cell)->PreferredSize(dc, &size, cell);
            widest = std::max(widest, size.width());
        }
        if (widest >= 0)
            SetColumnWidth(col, widest);
    }
    RecalcLayout();
    return 0;
}

int CTblCtrl::MoveColumn(int from, int to, int before)
{
    CTblSheet& s = *m_pSheet;
    if (from < 0 || from >= s.m_nColCount)
        return 1;
    const int insert = before ? to : to + 1;
    if (insert < 0 || insert > s.m_nColCount)
        return 1;
    if (insert == from || insert == from + 1)
        return 0;
    const auto at = [&](int index) { return s.m_columns.begin() + index; };
    if (insert < from)
        std::rotate(at(insert), at(from), at(from + 1));
    else
        std::rotate(at(from), at(from + 1), at(insert));
    ApplyColumnGeometry();
    return 0;
}

// ---- Sheets ----

int CTblCtrl::SetSheetCount(int count)
{
    if (count < 1 || count > MaxSheets)
        return 1;
    const int previous = m_nCurSheet;
    const int tabWidth = m_pSheet ? m_pSheet->m_nTabWidth : 0;
    if (previous >= count) {
        // Child windows must not read the sheet while it goes away.
        m_pSheet = nullptr;
        for (CTblChildWindow* window : m_windows) {
            if (window)
                window->SetSheet(nullptr);
        }
    }
    if (static_cast<size_t>(count) < m_sheets.size())
        m_sheets.erase(m_sheets.begin() + count, m_sheets.end());
    const int scrollExtent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    for (int index = GetSheetCount(); index < count; ++index) {
        m_sheets.push_back(std::make_unique<CTblSheet>(this, scrollExtent, scrollExtent));
        m_sheets.back()->m_pEditor = m_pEditWnd;
        CTblSheet* current = m_pSheet;
        m_pSheet = m_sheets.back().get();
        OnSheetReady(index);
        m_pSheet = current;
    }
    if (previous < 0 || previous >= count)
        ShowSheetAt(count - 1, 1, previous < 0 ? nullptr : &tabWidth);
    return 0;
}

int CTblCtrl::ShowSheet(int index, int redraw)
{
    if (index < 0 || index >= GetSheetCount())
        return 1;
    const int tabWidth = m_pSheet->m_nTabWidth;
    ShowSheetAt(index, redraw, &tabWidth);
    return 0;
}

void CTblCtrl::ShowSheetAt(int index, int redraw, const int* inheritedTabWidth)
{
    const int savedRedraw = m_nRedraw;
    if (!redraw)
        m_nRedraw = 0;
    m_nCurSheet = index;
    m_pSheet = m_sheets[static_cast<size_t>(index)].get();
    if (inheritedTabWidth)
        m_pSheet->m_nTabWidth = *inheritedTabWidth;
    for (CTblChildWindow* window : m_windows) {
        if (window)
            window->SetSheet(m_pSheet);
    }
    if (CTblChildWindow* cells = m_windows[SectionCells])
        cells->Widget()->setFocus();
    // Forgotten, so that the next notification reports both.
    m_pSheet->m_nPrevTopRow = -1;
    m_pSheet->m_nPrevLeftCol = -1;
    RecalcLayout();
    m_nRedraw = savedRedraw;
}

// ---- Windows ----

void CTblCtrl::SetChildWindow(int section, CTblChildWindow* window)
{
    if (section < SectionCells || section > SectionHScroll)
        return;
    m_windows[static_cast<size_t>(section)] = window;
    if (window)
        window->SetSheet(m_pSheet);
}

CTblChildWindow* CTblCtrl::GetChildWindow(int section) const
{
    if (section < SectionCells || section > SectionHScroll)
        return nullptr;
    return m_windows[static_cast<size_t>(section)];
}

void CTblCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcLayout();
}

void CTblCtrl::RecalcLayout()
{
    if (m_bInLayout || !m_pSheet)
        return;
    m_bInLayout = true;
    CTblSheet& s = *m_pSheet;
    FocusCellsIfInGrid();
    const QRect client = contentsRect();
    const int W = client.width();
    const int H = client.height();
    const int h = s.m_nColHeaderHeight;
    const int w = s.m_nRowHeaderWidth;
    // Hidden scroll bars get size 0 for this layout only; the sheet keeps its sizes.
    int v = s.m_nVScrollWidth;
    int sb = s.m_nHScrollHeight;
    int t = s.m_nTabWidth;
    if (t > 0)
        t = std::max(std::min(t, W - w - 30), 4);
    const int colsWidth = SumUpTo(s.m_nColCount, W - w, [&s](int n) { return s.ColSize(n); });
    const int rowsHeight = SumUpTo(s.m_nRowCount, H - h, [&s](long n) { return s.RowSize(n); });
    // Columns (rows) that fill the space exactly fit in it: with a strict comparison a
    // grid whose columns were fitted to its width would get a scroll bar it cannot use.
    const bool allCols = colsWidth <= W - w;
    const bool allRows = rowsHeight <= H - h;
    if (allRows && (allCols || rowsHeight <= H - h - sb))
        v = 0;
    if (allCols && t <= 0 && (allRows || colsWidth <= W - w - v))
        sb = 0;
    QRect cells = RectFromEdges(w, h, W - v, H - sb);
    QRect colHeader = RectFromEdges(w, 0, W - v, h);
    QRect rowHeader = RectFromEdges(0, h, w, H - sb);
    QRect corner = RectFromEdges(0, 0, w, h);
    QRect vScroll = RectFromEdges(W - v, 0, W, H - sb);
    QRect hScroll = RectFromEdges(std::max(t, 0), H - sb, W - v, H);
    QRect tabs = RectFromEdges(0, H - sb, std::max(t, 0), H);
    OnLayout(&cells, &colHeader, &rowHeader, &corner, &vScroll, &hScroll, &tabs);
    const std::array<std::pair<int, QRect*>, 7> placed = {{{SectionCells, &cells},
                                                           {SectionColHeader, &colHeader},
                                                           {SectionRowHeader, &rowHeader},
                                                           {SectionCorner, &corner},
                                                           {SectionVScroll, &vScroll},
                                                           {SectionHScroll, &hScroll},
                                                           {SectionTabs, &tabs}}};
    for (const auto& [section, rect] : placed) {
        CTblChildWindow* window = m_windows[static_cast<size_t>(section)];
        if (!window)
            continue;
        QWidget* widget = window->Widget();
        widget->setGeometry(rect->translated(client.topLeft()));
        // Windows of the grid with no room are hidden (scroll bars not needed, no tabs).
        if (section != SectionCells && widget->parentWidget() == this)
            widget->setVisible(!rect->isEmpty());
    }
    s.m_rcCells = cells;
    s.m_rcColHeader = colHeader;
    s.m_rcRowHeader = rowHeader;
    s.m_rcCorner = corner;
    s.m_rcVScroll = vScroll;
    s.m_rcHScroll = hScroll;
    s.m_rcTabs = tabs;
    s.m_nCellAreaWidth = cells.width();
    s.m_nCellAreaHeight = cells.height();
    ApplyLargestTopRow();
    ApplyLargestLeftCol();
    Redraw();
    s.m_nPrevTopRow = s.m_nTopRow;
    s.m_nPrevLeftCol = s.m_nLeftCol;
    m_bInLayout = false;
}

int CTblCtrl::Redraw()
{
    if (!m_nRedraw)
        return 0;
    for (CTblChildWindow* window : m_windows) {
        if (window)
            window->RepaintAll();
    }
    return 0;
}

int CTblCtrl::RepaintCell(int col, long row)
{
    // A heading cell repaints its whole heading.
    const int section = col < 0 ? SectionRowHeader : (row < 0 ? SectionColHeader : SectionCells);
    CTblChildWindow* window = m_windows[static_cast<size_t>(section)];
    if (!window)
        return 0;
    if (section == SectionCells)
        window->RepaintCell(col, row);
    else
        window->RepaintAll();
    return 0;
}

int CTblCtrl::CellAtPoint(int x, int y, int& col, long& row, QRect& rect)
{
    const CTblSheet& s = *m_pSheet;
    if (x < 0 || x > s.m_nCellAreaWidth || y < 0 || y > s.m_nCellAreaHeight)
        return 1;
    int left = 0;
    int top = 0;
    const int hitCol = s.ColAt(x, left);
    const long hitRow = s.RowAt(y, top);
    if (hitCol < 0 || hitRow < 0)
        return 1;
    col = hitCol;
    row = hitRow;
    rect = QRect(left, top, s.ColSize(hitCol), s.RowSize(hitRow));
    JoinBlock block;
    if (s.m_bJoins && JoinedBlockAt(hitCol, hitRow, block)) {
        col = block.col;
        row = block.row;
        rect = BlockRect(block);
    }
    return 0;
}

int CTblCtrl::ShowPopupMenu(int col, long row, const QPoint& screenPoint, int section)
{
    if (!m_pSheet->m_bPopupMenu)
        return 1;
    JoinBlock block;
    if (m_pSheet->m_bJoins && JoinedBlockAt(col, row, block)) {
        col = block.col;
        row = block.row;
    }
    if (!OnPopupOpen(col, row, section))
        return 2;
    m_nPopupCol = col;
    m_nPopupRow = row;
    m_nPopupSection = section;
    if (m_pPopupMenu->isEmpty())
        return 3;
    m_pPopupMenu->popup(screenPoint);
    return 0;
}

void CTblCtrl::OnPopupAction(QAction* action)
{
    bool isNumber = false;
    const int id = action->data().toInt(&isNumber);
    if (isNumber && id >= FirstPopupCommand)
        OnPopupCommand(m_nPopupCol, m_nPopupRow, m_nPopupSection, id);
}

// ---- Attaching and the grid's windows ----

int CTblCtrl::AttachToDlgItem(QWidget* parent, int id)
{
    if (!parent)
        return 1;
    const QList<QWidget*> children = parent->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QVariant controlId = child->property(ControlIdProperty);
        if (child != this && controlId.isValid() && controlId.toInt() == id)
            return AttachToWidget(child);
    }
    return 1;
}

int CTblCtrl::AttachToWidget(QWidget* placeholder)
{
    if (!placeholder || m_pCellArea || placeholder == this || isAncestorOf(placeholder) ||
        !placeholder->parentWidget())
        return 1;
    QWidget* host = placeholder->parentWidget();
    const bool shown = !placeholder->isHidden();
    setParent(host);
    setGeometry(placeholder->geometry());
    setEnabled(placeholder->isEnabled());
    // The grid answers for the placeholder's id from now on.
    setProperty(ControlIdProperty, placeholder->property(ControlIdProperty));
    placeholder->setProperty(ControlIdProperty, QVariant());
    if (QLayout* layout = host->layout())
        delete layout->replaceWidget(placeholder, this);
    QWidget::setTabOrder(placeholder, this);
    placeholder->hide();
    // A one-pixel border round the grid, which takes part in the tab order.
    setContentsMargins(1, 1, 1, 1);
    setFocusPolicy(Qt::StrongFocus);
    CreateWindows();
    setVisible(shown);
    RecalcLayout();
    OnGridReady();
    return 0;
}

void CTblCtrl::CreateWindows()
{
    m_pCellArea = new CTblCellArea(this);
    m_pColHeader = new CTblColHeader(this);
    m_pRowHeader = new CTblRowHeader(this);
    m_pCornerBox = new CTblCornerBox(this);
    m_pSheetTabs = new CTblSheetTabs(this);
    m_pVScrollBar = new CTblVScrollBar(this);
    m_pHScrollBar = new CTblHScrollBar(this);
    m_pTipWnd = new CTblTipWnd(this);
    const std::array<std::pair<int, CTblChildWindow*>, 7> windows = {{
        {SectionCells, m_pCellArea},
        {SectionColHeader, m_pColHeader},
        {SectionRowHeader, m_pRowHeader},
        {SectionCorner, m_pCornerBox},
        {SectionTabs, m_pSheetTabs},
        {SectionVScroll, m_pVScrollBar},
        {SectionHScroll, m_pHScrollBar},
    }};
    for (const auto& [section, window] : windows) {
        SetChildWindow(section, window);
        window->Widget()->show();
    }
    m_pEditWnd = new CTblEditWnd(this);
    for (const auto& sheet : m_sheets) {
        if (!sheet->m_pEditor)
            sheet->m_pEditor = m_pEditWnd;
    }
    setFocusProxy(m_pCellArea);
}

void CTblCtrl::FocusCellsIfInGrid()
{
    if (!m_pCellArea)
        return;
    const QWidget* focus = window()->focusWidget();
    if (focus == m_pCellArea || m_pCellArea->isAncestorOf(focus))
        return;
    if (!focus || focus == this || isAncestorOf(focus))
        m_pCellArea->setFocus(Qt::OtherFocusReason);
}

void CTblCtrl::paintEvent(QPaintEvent*)
{
    // What the windows leave uncovered: the square between the two scroll bars, and the
    // border.
    QPainter dc(this);
    dc.fillRect(rect(), palette().color(QPalette::Button));
    if (contentsMargins().left() > 0) {
        dc.setPen(palette().color(QPalette::Shadow));
        dc.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CTblCtrl::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        for (CTblCellType* type : m_cellTypes)
            type->SystemColorsChanged();
    }
}

// ---- In-place editing ----

int CTblCtrl::BeginEdit()
{
    return BeginEditAt(m_pSheet->m_nCurCol, m_pSheet->m_nCurRow, 0);
}

int CTblCtrl::BeginEditAt(int col, long row, int firstChar)
{
    CTblSheet& s = *m_pSheet;
    if (m_bEditing || !m_pCellArea)
        return 1;
    m_bEditing = 1;
    const bool multiple = s.m_selection.IsMultiple();
    s.m_selection.Clear();
    if (multiple)
        m_pCellArea->RepaintAll();
    // A heading cell is edited where it is; a body cell becomes the current cell first.
    if (col >= 0 && row >= 0) {
        if ((col != s.m_nCurCol || row != s.m_nCurRow) && MoveToCell(col, row) != 0) {
            m_bEditing = 0;
            return 2;
        }
        // The move may have clamped the row or snapped to a joined block's first cell.
        col = s.m_nCurCol;
        row = s.m_nCurRow;
        if (col < 0 || row < 0) {
            m_bEditing = 0;
            return 2;
        }
    }
    m_nEditCol = col;
    m_nEditRow = row;
    CTblCell cell;
    ComposeCell(col, row, cell);
    CTblCellType* type = TypeOf(cell);
    QRect rect;
    QWidget* host = type->m_bEditable ? EditorHost(col, row, rect) : nullptr;
    if (!host) {
        m_bEditing = 0;
        return 1;
    }
    // The grid lines at the right and bottom stay visible.
    rect.adjust(0, 0, -1, -1);
    type->FitEditorRect(&rect);
    if (cell.GetReadOnly()) {
        m_bEditing = 0;
        return 1;
    }
    const QString text = cell.TextValue() ? *cell.TextValue() : QString();
    QWidget* editor = s.m_pEditor ? s.m_pEditor : m_pEditWnd;
    SetEditorText(editor, text);
    int sourceCol = col;
    if (!SourceOf(col, sourceCol)->AllowEditBegin(col, row, &editor) ||
        !OnEditBegin(col, row, &editor) || !editor) {
        m_bEditing = 0;
        return 1;
    }
    m_pEditor = editor;
    SetEditorText(editor, text);
    editor->setFont(cell.GetFont() ? *cell.GetFont()
                                   : (s.m_pDefaultFont ? *s.m_pDefaultFont : font()));
    if (editor->parentWidget() != host)
        editor->setParent(host);
    editor->setGeometry(rect);
    editor->raise();
    editor->show();
    editor->activateWindow();
    editor->setFocus(Qt::OtherFocusReason);
    if (editor == m_pEditWnd)
        m_pEditWnd->Prepare();
    if (firstChar > 0) {
        // As if typed: the character replaces the text, which is all selected.
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        QString(QChar(static_cast<char16_t>(firstChar))));
        QCoreApplication::sendEvent(editor, &typed);
    }
    return 0;
}

int CTblCtrl::EndEdit(const QString& text, int cancelled, int cont, int nextCol, long nextRow)
{
    const bool editing = m_bEditing != 0;
    if (!editing)
        cancelled = 1;
    const int col = m_nEditCol;
    const long row = m_nEditRow;
    QWidget* editor = m_pEditor;
    int sourceCol = col;
    if (SourceOf(col, sourceCol)->AllowEditEnd(col, row, editor, text, cancelled) != 1 ||
        !OnEditEnd(col, row, editor, text, cancelled))
        return editing ? 0 : 1;
    // Editing goes on to another cell only from the cells, not from a heading.
    const bool inCells = editor && editor->parentWidget() == m_pCellArea;
    HideEditor(editor);
    m_bEditing = 0;
    if (!editing)
        return 1;
    if (!cancelled) {
        SetCellText(col, row, text);
        RepaintCell(col, row);
    }
    if (cont && inCells)
        ContinueEdit(col, row, nextCol, nextRow);
    return 1;
}

QWidget* CTblCtrl::EditorHost(int col, long row, QRect& rect)
{
    const CTblSheet& s = *m_pSheet;
    // The corner cells show in no heading.
    if (col < 0 && row < 0)
        return nullptr;
    CTblHeader* header = nullptr;
    if (col < 0)
        header = m_pRowHeader;
    else if (row < 0)
        header = m_pColHeader;
    // The cell may have been scrolled out of view.
    const auto shown = [&] {
        return header ? header->HeadingCellRect(col, row, rect) : VisibleCellRect(col, row, rect);
    };
    if (!shown()) {
        if (col >= 0)
            ScrollToCol(s.LeftColShowing(col));
        if (row >= 0)
            ScrollToRow(s.TopRowShowing(row));
    }
    if (!shown())
        return nullptr;
    return header ? static_cast<QWidget*>(header) : m_pCellArea;
}

void CTblCtrl::ContinueEdit(int col, long row, int nextCol, long nextRow)
{
    const CTblSheet& s = *m_pSheet;
    if (nextCol < 0)
        nextCol = s.m_nColCount - 1;
    else if (nextCol >= s.m_nColCount)
        nextCol = 0;
    if (nextRow < 0)
        nextRow = s.m_nRowCount - 1;
    else if (nextRow >= s.m_nRowCount)
        nextRow = 0;
    int sourceCol = col;
    if (SourceOf(col, sourceCol)->AllowEditNext(col, row, &nextCol, &nextRow) != 1 ||
        !OnEditNext(col, row, &nextCol, &nextRow))
        return;
    BeginEditAt(nextCol, nextRow, 0);
}

void CTblCtrl::CancelEdit()
{
    if (!m_bEditing)
        return;
    if (m_pEditor == m_pEditWnd)
        m_pEditWnd->Cancel();
    else
        EndEdit(QString(), 1, 0, 0, 0);
}

bool CTblCtrl::EndEditForPress()
{
    if (m_bEditing && m_pEditor == m_pEditWnd)
        m_pEditWnd->EndNow();
    return !m_bEditing;
}

void CTblCtrl::SetEditorText(QWidget* editor, const QString& text)
{
    if (auto* own = qobject_cast<CTblEditWnd*>(editor)) {
        own->SetText(text);
        return;
    }
    // Another editor gets the text through its user property (a line edit's text).
    if (editor) {
        const QMetaProperty property = editor->metaObject()->userProperty();
        if (property.isValid())
            property.write(editor, text);
    }
}

void CTblCtrl::HideEditor(QWidget* editor)
{
    if (!editor)
        return;
    if (editor == m_pEditWnd) {
        m_pEditWnd->Close();
        return;
    }
    if (editor->hasFocus() && m_pCellArea)
        m_pCellArea->setFocus(Qt::OtherFocusReason);
    editor->hide();
}

// ---- Registries ----

int CTblCtrl::RegisterCellType(CTblCellType* type)
{
    if (!type)
        return -1;
    m_cellTypes.push_back(type);
    type->m_pGrid = this;
    type->m_nIndex = GetCellTypeCount() - 1;
    return type->m_nIndex;
}

CTblCellType* CTblCtrl::GetCellType(int index) const
{
    if (index < 0 || index >= GetCellTypeCount())
        return nullptr;
    return m_cellTypes[static_cast<size_t>(index)];
}

int CTblCtrl::RegisterDataSource(CTblDataSource* source)
{
    if (!source)
        return -1;
    auto free = std::find(m_sources.begin() + std::min<long>(1, std::ssize(m_sources)),
                          m_sources.end(), nullptr);
    if (free == m_sources.end()) {
        const size_t used = std::max<size_t>(m_sources.size(), 1);
        m_sources.resize(m_sources.size() + 16, nullptr);
        free = m_sources.begin() + static_cast<long>(used);
    }
    *free = source;
    source->m_pGrid = this;
    source->m_nIndex = static_cast<int>(free - m_sources.begin());
    return source->m_nIndex;
}

CTblDataSource* CTblCtrl::GetDataSource(int index) const
{
    if (index < 1 || index >= static_cast<int>(m_sources.size()))
        return nullptr;
    return m_sources[static_cast<size_t>(index)];
}

// ---- Callbacks: what a grid without a subclass does ----

void CTblCtrl::OnFocusGained(int) {}

void CTblCtrl::OnGridReady() {}

void CTblCtrl::OnSheetReady(int) {}

bool CTblCtrl::AllowCellMove(int, long, int, long)
{
    return true;
}

bool CTblCtrl::AllowViewMove(int, long, int, long)
{
    return true;
}

void CTblCtrl::OnBeyondLastRow(long, long, long) {}

void CTblCtrl::OnBeforeFirstRow(long, long) {}

bool CTblCtrl::AllowColResize(int)
{
    return true;
}

void CTblCtrl::OnColResizing(int, int*) {}

void CTblCtrl::OnColResized(int, int*) {}

bool CTblCtrl::AllowRowResize(long)
{
    return true;
}

void CTblCtrl::OnRowResizing(long, int*) {}

void CTblCtrl::OnRowResized(long, int*) {}

bool CTblCtrl::AllowColHeaderResize()
{
    return true;
}

bool CTblCtrl::AllowRowHeaderResize()
{
    return true;
}

void CTblCtrl::OnColHeaderResizing(int*) {}

void CTblCtrl::OnRowHeaderResizing(int*) {}

void CTblCtrl::OnColHeaderResized(int*) {}

void CTblCtrl::OnRowHeaderResized(int*) {}

void CTblCtrl::OnCurColChanged(int, int) {}

void CTblCtrl::OnCurRowChanged(long, long) {}

void CTblCtrl::OnCurCellChanged(int, int, long, long) {}

void CTblCtrl::OnScrolledToCol(int, int) {}

void CTblCtrl::OnScrolledToRow(long, long) {}

void CTblCtrl::OnCellLeftButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCtrl::OnCellRightButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCtrl::OnCellDoubleClick(int, long, const QRect&, const QPoint&, int) {}

void CTblCtrl::OnCellMouseMove(int, long, const QPoint&, unsigned, int) {}

void CTblCtrl::OnColHeaderLeftButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCtrl::OnColHeaderRightButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCtrl::OnColHeaderDoubleClick(int, long, const QRect&, const QPoint&, int) {}

void CTblCtrl::OnRowHeaderLeftButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCtrl::OnRowHeaderRightButton(int, long, bool, const QRect&, const QPoint&, int) {}

void CTblCtrl::OnRowHeaderDoubleClick(int, long, const QRect&, const QPoint&, int) {}

void CTblCtrl::OnCornerLeftButton(bool, const QRect&, const QPoint&, int) {}

void CTblCtrl::OnCornerRightButton(bool, const QRect&, const QPoint&, int) {}

void CTblCtrl::OnCornerDoubleClick(const QRect&, const QPoint&, int) {}

void CTblCtrl::OnGridKeyDown(int*, int) {}

void CTblCtrl::OnGridChar(int*, int) {}

void CTblCtrl::OnCellFetch(int, long, CTblCell&) {}

void CTblCtrl::OnCellStore(int, long, CTblCell&) {}

void CTblCtrl::OnSourceEvent(int, int, intptr_t) {}

bool CTblCtrl::OnCellTypeEvent(int, int, long, int, intptr_t)
{
    return true;
}

bool CTblCtrl::OnEditBegin(int, long, QWidget**)
{
    return true;
}

bool CTblCtrl::OnEditKey(int, long, QWidget*, int*)
{
    return true;
}

bool CTblCtrl::OnEditEnd(int, long, QWidget*, const QString&, int)
{
    return true;
}

bool CTblCtrl::OnEditNext(int, long, int*, long*)
{
    return true;
}

void CTblCtrl::OnPopupCommand(int, long, int, int) {}

bool CTblCtrl::OnPopupOpen(int, long, int)
{
    return true;
}

bool CTblCtrl::OnCellTip(int col, long row, int, QString& text)
{
    text = QString::asprintf("Col:%d Row:%ld", col, row);
    return true;
}

bool CTblCtrl::OnVScrollTip(long, QString&)
{
    return true;
}

bool CTblCtrl::OnHScrollTip(int, QString&)
{
    return true;
}

int CTblCtrl::CompareCells(const CTblCell* a, const CTblCell* b, int flags)
{
    return CTblCell::Compare(a, b, flags);
}

void CTblCtrl::OnPrepareDC(QPainter*, QPainter*, int) {}

void CTblCtrl::OnLayout(QRect*, QRect*, QRect*, QRect*, QRect*, QRect*, QRect*) {}

void CTblCtrl::OnSheetTabClick(int) {}

QColor CTblCtrl::GetDefaultBackColor(int section)
{
    return palette().color(section == SectionCells ? QPalette::Base : QPalette::Button);
}

void CTblCtrl::DrawCurrentCellFrame(QPainter& dc, const QRect& rect)
{
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect.adjusted(0, 0, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &dc, this);
}

void CTblCtrl::OnFocusLost(int) {}

bool CTblCtrl::AllowColDrag(int)
{
    return true;
}

bool CTblCtrl::AllowColDrop(int, int)
{
    return true;
}

void CTblCtrl::OnTrackerMoved(const QRect&, const QRect&) {}
