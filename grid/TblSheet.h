// One sheet of a grid: its columns and rows with their sizes, the headings, the current
// cell and the view, the defaults and the options. The grid works on its current sheet;
// every child window reads the same one. The sizes and positions it can work out from
// its own fields are its methods.
#pragma once

#include "TblCell.h"
#include "TblColumnInfo.h"
#include "TblSelection.h"

#include <QCursor>
#include <QPen>
#include <QRect>

#include <memory>
#include <vector>

class CTblCtrl;
class CTblDataSource;
class QFont;
class QWidget;

class CTblSheet
{
public:
    // Step kinds of StepRow, StepCol, ScrollRows and ScrollCols.
    enum Step
    {
        StepBack = 0,
        StepForward = 1,
        PageBack = 2,
        PageForward = 3,
        First = 4,
        Last = 5
    };

    CTblSheet(CTblCtrl* grid, int vScrollWidth, int hScrollHeight);
    ~CTblSheet();

    CTblSheet(const CTblSheet&) = delete;
    CTblSheet& operator=(const CTblSheet&) = delete;

    // Gives the sheet another default source; columns that read the old one read the new.
    void ReplaceDefaultSource(std::unique_ptr<CTblDataSource> source);
    // A column entry as new columns get it.
    CTblColumnInfo NewColumn(int index) const;

    // Height of a row, the default height outside the rows (so walks past either end go on).
    int RowSize(long row) const;
    // Width of a column, the default width outside the columns.
    int ColSize(int col) const;
    int VisibleHeight() const { return m_nCellAreaHeight - m_nLockedRowsHeight; }
    int VisibleWidth() const { return m_nCellAreaWidth - m_nLockedColsWidth; }
    int HeadRowCount() const { return static_cast<int>(m_headRowHeights.size()); }
    int HeadColCount() const { return static_cast<int>(m_headColWidths.size()); }
    bool IsLockedRow(long row) const { return row >= 0 && row < m_nLockedRows; }

    // The largest top row (left column) at which the last row (column) is still whole.
    long LargestTopRow() const;
    int LargestLeftCol() const;
    // The top row (left column) that shows the row (column), the current one when it
    // already does.
    long TopRowShowing(long row) const;
    int LeftColShowing(int col) const;
    // The row (column) a step of that kind leads to from a starting one.
    long StepRowFrom(long from, int kind) const;
    int StepColFrom(int from, int kind) const;

    // The row (column) under a point of the cell area as it is scrolled, -1 when none;
    // edge receives where it starts.
    long RowAt(int y, int& edge) const;
    int ColAt(int x, int& edge) const;
    // Where a row (column) starts in the cell area as it is scrolled.
    int RowTop(long row) const;
    int ColLeft(int col) const;
    // Where a row (column) lies in the cell area as it is scrolled; false when no part of
    // it is shown. Walks no further than the cell area reaches.
    bool RowSpan(long row, int& top, int& height) const;
    bool ColSpan(int col, int& left, int& width) const;
    // How far the image moves when the top row (left column) goes from one to another:
    // positive when later rows (columns) come into view. Past limit either way the answer
    // is limit + 1 with the sign of the move.
    int RowShift(long from, long to, int limit) const;
    int ColShift(int from, int to, int limit) const;
    // The first scrolled row (column) after n in display order: the locked ones, then the
    // scrolled ones from the top row (left column).
    long NextShownRow(long row) const { return row + 1 == m_nLockedRows ? m_nTopRow : row + 1; }
    int NextShownCol(int col) const { return col + 1 == m_nLockedCols ? m_nLeftCol : col + 1; }
    long FirstShownRow() const { return m_nLockedRows > 0 ? 0 : m_nTopRow; }
    int FirstShownCol() const { return m_nLockedCols > 0 ? 0 : m_nLeftCol; }

    void RecalcLockedRowsHeight();
    void RecalcLockedColsWidth();

    int m_nColCount = 0;
    int m_nCurCol = -1;
    int m_nPrevCurCol = -1;
    int m_nLeftCol = 0;
    int m_nPrevLeftCol = 0;
    int m_nMaxLeftCol = 0;
    int m_nDefColWidth = 75;
    int m_nReqCol = -1;
    std::vector<CTblColumnInfo> m_columns;
    long m_nRowCount = 0;
    long m_nCurRow = -1;
    long m_nPrevCurRow = -1;
    long m_nTopRow = 0;
    long m_nPrevTopRow = 0;
    long m_nMaxTopRow = 0;
    // One height per row; empty while heights are uniform.
    std::vector<int> m_rowHeights;
    int m_nDefRowHeight = 20;
    int m_bUniformRows = 0;
    long m_nReqRow = -1;
    // Heights of the column-heading rows and widths of the row-heading columns: entry k
    // is heading row (column) -1 - k, so entry 0 lies next to the cells.
    std::vector<int> m_headRowHeights{20};
    std::vector<int> m_headColWidths{25};
    CTblCell m_gridDefCell;
    CTblCell m_headDefCell;
    int m_nColHeaderHeight = 20;
    int m_nRowHeaderWidth = 40;
    int m_nVScrollWidth;
    int m_nHScrollHeight;
    int m_nTabWidth = 0;
    int m_nCellAreaWidth = 0;
    int m_nCellAreaHeight = 0;
    QRect m_rcCells;
    QRect m_rcCorner;
    QRect m_rcTabs;
    QRect m_rcVScroll;
    QRect m_rcHScroll;
    int m_bRowHighlight = 0;
    int m_bMultiSel = 0;
    int m_nCurCellStyle = 1;
    int m_bPopupMenu = 0;
    int m_bCellTips = 0;
    int m_bVScrollTips = 0;
    int m_bHScrollTips = 0;
    int m_nUserSizing = 1;
    int m_bJoins = 1;
    int m_bColMoving = 0;
    int m_bGridLines = 1;
    // 1: a long text may run on into empty cells to its right, where the cell types allow.
    int m_bTextOverflow = 1;
    int m_nVScrollMode = 0;
    int m_bHLiveTrack = 0;
    int m_nDragAccel = 0;
    int m_nDragDelay = 200;
    int m_nKeyAccelDiv = 0;
    int m_nLockedCols = 0;
    long m_nLockedRows = 0;
    int m_nLockedColsWidth = 0;
    int m_nLockedRowsHeight = 0;
    const QFont* m_pDefaultFont = nullptr;
    std::unique_ptr<CTblDataSource> m_pDefaultSource;
    // Set by the cell area during mouse input: 1 left press, 2 right press, 3 drag, 0
    // otherwise, with the mouse key flags (CTblSelection::KeyFlag).
    int m_nSelMode = 0;
    unsigned m_nSelKeys = 0;
    CTblSelection m_selection;
    QCursor m_cursorArrow;
    QCursor m_cursorSizeWE;
    QCursor m_cursorSizeNS;
    QWidget* m_pEditor = nullptr;
    int m_nTextMargin = 4;
    QPen m_gridPen;
};
