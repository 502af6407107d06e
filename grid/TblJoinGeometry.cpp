#include "TblJoinGeometry.h"

#include "TblCell.h"
#include "TblCtrl.h"
#include "TblSheet.h"

const CTblSheet& CTblJoinGeometry::Sheet() const
{
    return *m_grid.GetSheet();
}

bool CTblJoinGeometry::BlockOf(const CTblCell& cell, int col, long row, Block& block)
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
    block = Block{col - place % cols, row - place / cols, cols, rows};
    return block.col >= 0 && block.row >= 0;
}

bool CTblJoinGeometry::BlockAt(int col, long row, Block& block) const
{
    // Checked before the cell is composed: composing calls the application.
    if (!Sheet().m_bJoins || col < 0 || row < 0)
        return false;
    CTblCell cell;
    m_grid.ComposeCell(col, row, cell);
    return BlockOf(cell, col, row, block);
}

QRect CTblJoinGeometry::BlockRect(const Block& block) const
{
    const CTblSheet& s = Sheet();
    int width = 0;
    for (int c = block.col; c < block.col + block.cols; ++c)
        width += s.ColSize(c);
    int height = 0;
    for (long r = block.row; r < block.row + block.rows; ++r)
        height += s.RowSize(r);
    return QRect(s.ColLeft(block.col), s.RowTop(block.row), width, height);
}

bool CTblJoinGeometry::JoinedBlockRect(const CTblCell& cell, int col, long row, int& firstCol,
                                       long& firstRow, QRect& rect) const
{
    Block block;
    if (!Sheet().m_bJoins || !BlockOf(cell, col, row, block))
        return false;
    firstCol = block.col;
    firstRow = block.row;
    rect = BlockRect(block);
    return true;
}

bool CTblJoinGeometry::VisibleCellRect(int col, long row, QRect& rect) const
{
    const CTblSheet& s = Sheet();
    Block block;
    if (BlockAt(col, row, block)) {
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

int CTblJoinGeometry::CellAtPoint(int x, int y, int& col, long& row, QRect& rect) const
{
    const CTblSheet& s = Sheet();
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
    Block block;
    if (BlockAt(hitCol, hitRow, block)) {
        col = block.col;
        row = block.row;
        rect = BlockRect(block);
    }
    return 0;
}
