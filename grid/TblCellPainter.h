// Paints the cells of a grid's sheet into any QPainter, for an area of a given size as
// the sheet is scrolled: the rows and columns shown (locked ones first), each joined
// block once per band it shows in, the background past the last cells, the lines after
// the locked columns and rows, and the current cell's frame.
#pragma once

#include <QRect>
#include <QSize>

#include <vector>

class CTblCtrl;
class CTblSheet;
class QPainter;
class QRegion;

class CTblCellPainter
{
public:
    CTblCellPainter(CTblCtrl& grid, const CTblSheet& sheet, const QSize& size)
        : m_grid(grid), m_sheet(sheet), m_size(size)
    {
    }

    // Every cell that meets region, and the background and lines around them.
    void PaintCells(QPainter& dc, const QRegion& region);
    // The frame round the current cell (its row with the whole-row highlight), when the
    // sheet's current-cell style asks for one.
    void DrawCurrentFrame(QPainter& dc) const;

private:
    // A joined block already drawn in a band of this paint.
    struct Block
    {
        int col;
        long row;
        QRect band;
    };

    void PaintRow(QPainter& dc, const QRegion& region, long row, int top, int height);
    // The part of the area that the locked or scrolling columns and rows of a cell share.
    QRect BandOf(int col, long row) const;
    void DrawCellAt(QPainter& dc, int col, long row, const QRect& rect);
    void DrawLockedLines(QPainter& dc) const;
    // Where the columns end, at most a little past the area's right edge.
    int ColumnsEnd() const;

    CTblCtrl& m_grid;
    const CTblSheet& m_sheet;
    QSize m_size;
    std::vector<Block> m_drawnBlocks;
};
