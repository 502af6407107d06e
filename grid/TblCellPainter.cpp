#include "TblCellPainter.h"

#include "TblCell.h"
#include "TblCellType.h"
#include "TblCtrl.h"
#include "TblSheet.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>

void CTblCellPainter::PaintCells(QPainter& dc, const QRegion& region)
{
    const CTblSheet& s = m_sheet;
    const QRect bounds = region.boundingRect();
    const int w = m_size.width();
    const int h = m_size.height();
    m_drawnBlocks.clear();
    int y = 0;
    long row = s.FirstShownRow();
    while (y < h && row < s.m_nRowCount) {
        const int rowHeight = s.RowSize(row);
        if (rowHeight > 0 && y + rowHeight > bounds.top() && y <= bounds.bottom())
            PaintRow(dc, region, row, y, rowHeight);
        y += std::max(rowHeight, 0);
        // Below the last row the source may add more, drawn in the same paint.
        if (row == s.m_nRowCount - 1 && y < h)
            m_grid.RequestRowsPastEnd(1);
        row = s.NextShownRow(row);
    }
    const QColor back = m_grid.GetDefaultBackColor(CTblCtrl::SectionCells);
    const int columnsEnd = ColumnsEnd();
    if (columnsEnd < w)
        dc.fillRect(QRect(columnsEnd, 0, w - columnsEnd, std::min(y, h)), back);
    if (y < h)
        dc.fillRect(QRect(0, y, w, h - y), back);
    DrawLockedLines(dc);
}

void CTblCellPainter::PaintRow(QPainter& dc, const QRegion& region, long row, int top, int height)
{
    const CTblSheet& s = m_sheet;
    int x = 0;
    for (int col = s.FirstShownCol(); x < m_size.width() && col < s.m_nColCount;
         col = s.NextShownCol(col)) {
        const int colWidth = s.ColSize(col);
        if (colWidth <= 0)
            continue;
        const QRect rect(x, top, colWidth, height);
        if (region.intersects(rect))
            DrawCellAt(dc, col, row, rect);
        x += colWidth;
    }
}

QRect CTblCellPainter::BandOf(int col, long row) const
{
    // The locked columns (rows) and the scrolling ones are bands of their own.
    const CTblSheet& s = m_sheet;
    const bool lockedCol = col < s.m_nLockedCols;
    const bool lockedRow = row < s.m_nLockedRows;
    const int left = lockedCol ? 0 : s.m_nLockedColsWidth;
    const int top = lockedRow ? 0 : s.m_nLockedRowsHeight;
    const int right = lockedCol ? s.m_nLockedColsWidth : m_size.width();
    const int bottom = lockedRow ? s.m_nLockedRowsHeight : m_size.height();
    return QRect(left, top, right - left, bottom - top);
}

void CTblCellPainter::DrawCellAt(QPainter& dc, int col, long row, const QRect& rect)
{
    const CTblSheet& s = m_sheet;
    CTblCell cell;
    m_grid.ComposeCell(col, row, cell);
    QRect drawRect = rect;
    const QRect band = BandOf(col, row);
    if (cell.HasAnyProperty(CTblCell::PropJoin)) {
        // A joined block is drawn once in each band it shows in, from its first cell,
        // over its whole rectangle cut to the band: a block partly scrolled under the
        // locked rows (columns) stays under them.
        int firstCol = col;
        long firstRow = row;
        if (m_grid.JoinedBlockRect(cell, col, row, firstCol, firstRow, drawRect)) {
            const bool drawn =
                std::any_of(m_drawnBlocks.begin(), m_drawnBlocks.end(), [&](const Block& b) {
                    return b.col == firstCol && b.row == firstRow && b.band == band;
                });
            if (drawn)
                return;
            m_drawnBlocks.push_back(Block{firstCol, firstRow, band});
            if (firstCol != col || firstRow != row)
                m_grid.ComposeCell(firstCol, firstRow, cell);
            col = firstCol;
            row = firstRow;
        }
    }
    int selected = 0;
    if (s.m_bMultiSel)
        selected = s.m_selection.BlockAt(col, row) + 1;
    const int current = row == s.m_nCurRow && (col == s.m_nCurCol || s.m_bRowHighlight) ? 1 : 0;
    dc.save();
    dc.setClipRect(band, dc.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    m_grid.TypeOf(cell)->DrawCell(dc, drawRect, col, row, cell, selected, current);
    dc.restore();
}

void CTblCellPainter::DrawLockedLines(QPainter& dc) const
{
    const CTblSheet& s = m_sheet;
    const QColor line = m_grid.GetShadowPen().color();
    if (s.m_nLockedCols > 0 && s.m_nLockedColsWidth > 0)
        dc.fillRect(QRect(s.m_nLockedColsWidth - 1, 0, 1, m_size.height()), line);
    if (s.m_nLockedRows > 0 && s.m_nLockedRowsHeight > 0)
        dc.fillRect(QRect(0, s.m_nLockedRowsHeight - 1, m_size.width(), 1), line);
}

int CTblCellPainter::ColumnsEnd() const
{
    const CTblSheet& s = m_sheet;
    int x = 0;
    for (int col = s.FirstShownCol(); x < m_size.width() && col < s.m_nColCount;
         col = s.NextShownCol(col))
        x += std::max(s.ColSize(col), 0);
    return x;
}

void CTblCellPainter::DrawCurrentFrame(QPainter& dc) const
{
    const CTblSheet& s = m_sheet;
    // Bit value 1 of the current cell style frames the current cell.
    if (!(s.m_nCurCellStyle & 1) || s.m_nCurCol < 0 || s.m_nCurRow < 0)
        return;
    QRect rect;
    if (s.m_bRowHighlight) {
        int top = 0;
        int height = 0;
        if (!s.RowSpan(s.m_nCurRow, top, height))
            return;
        rect = QRect(0, top, std::min(ColumnsEnd(), m_size.width()), height);
    } else if (!m_grid.VisibleCellRect(s.m_nCurCol, s.m_nCurRow, rect)) {
        return;
    }
    dc.save();
    dc.setClipRect(BandOf(s.m_nCurCol, s.m_nCurRow), Qt::IntersectClip);
    m_grid.DrawCurrentCellFrame(dc, rect);
    dc.restore();
}
