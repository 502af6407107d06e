// Joined cells: the block a composed cell's join values describe, and where blocks and
// cells lie in the cell area as it is scrolled. Cells join only while the sheet has joins on.
#pragma once

#include <QRect>

class CTblCell;
class CTblCtrl;
class CTblSheet;

class CTblJoinGeometry
{
public:
    // A joined block: its first cell and its size in columns and rows.
    struct Block
    {
        int col = 0;
        long row = 0;
        int cols = 1;
        long rows = 1;
    };

    explicit CTblJoinGeometry(CTblCtrl& grid) : m_grid(grid) {}

    // The block of a composed body cell; false when its join values describe no block
    // that holds the cell.
    static bool BlockOf(const CTblCell& cell, int col, long row, Block& block);
    // The block of the body cell at col, row; false when it is not joined or joins are off.
    bool BlockAt(int col, long row, Block& block) const;
    // The block's rectangle in the cell area as it is scrolled.
    QRect BlockRect(const Block& block) const;
    // CTblCtrl::JoinedBlockRect, VisibleCellRect and CellAtPoint.
    bool JoinedBlockRect(const CTblCell& cell, int col, long row, int& firstCol, long& firstRow,
                         QRect& rect) const;
    bool VisibleCellRect(int col, long row, QRect& rect) const;
    int CellAtPoint(int x, int y, int& col, long& row, QRect& rect) const;

private:
    const CTblSheet& Sheet() const;

    CTblCtrl& m_grid;
};
