// The cells selected on a sheet with multi-selection on: blocks of cells and the anchor
// cell where the current block started.
#pragma once

#include <cstddef>
#include <vector>

class CTblSelection
{
public:
    // Mouse key flags handed in with a press.
    enum KeyFlag : unsigned
    {
        MkLButton = 0x1,
        MkRButton = 0x2,
        MkShift = 0x4,
        MkControl = 0x8,
        MkMButton = 0x10,
    };

    // A rectangle of cells, both corners included.
    struct Block
    {
        int col1;
        long row1;
        int col2;
        long row2;
    };

    // A new selection of the one cell, which becomes the anchor.
    void StartAt(int col, long row);
    // A mouse press: Control adds a new block, Shift extends the current one from the
    // anchor, otherwise a new selection starts.
    void Press(int col, long row, unsigned keyFlags);
    // The current block runs from the anchor to this cell (dragging, Shift with keys).
    void ExtendTo(int col, long row);
    // The index of the last block holding the cell, -1 when none does.
    int BlockAt(int col, long row) const;
    void GetAnchor(int& col, long& row) const;
    // Empties the selection; true when it held more than one block, so that the grid
    // knows to repaint.
    bool Clear();

    int BlockCount() const { return static_cast<int>(m_blocks.size()); }
    const Block& GetBlock(int index) const { return m_blocks[static_cast<size_t>(index)]; }
    // More than one cell is selected.
    bool IsMultiple() const;

private:
    std::vector<Block> m_blocks;
    int m_nAnchorCol = -1;
    long m_nAnchorRow = -1;
};
