#include "TblSelection.h"

#include <algorithm>

void CTblSelection::StartAt(int col, long row)
{
    m_blocks.assign(1, Block{col, row, col, row});
    m_nAnchorCol = col;
    m_nAnchorRow = row;
}

void CTblSelection::Press(int col, long row, unsigned keyFlags)
{
    if ((keyFlags & MkShift) && !m_blocks.empty()) {
        ExtendTo(col, row);
    } else if ((keyFlags & MkControl) && !m_blocks.empty()) {
        m_blocks.push_back(Block{col, row, col, row});
        m_nAnchorCol = col;
        m_nAnchorRow = row;
    } else {
        StartAt(col, row);
    }
}

void CTblSelection::ExtendTo(int col, long row)
{
    if (m_blocks.empty()) {
        StartAt(col, row);
        return;
    }
    m_blocks.back() = Block{std::min(m_nAnchorCol, col), std::min(m_nAnchorRow, row),
                            std::max(m_nAnchorCol, col), std::max(m_nAnchorRow, row)};
}

int CTblSelection::BlockAt(int col, long row) const
{
    for (size_t i = m_blocks.size(); i-- > 0;) {
        const Block& block = m_blocks[i];
        if (col >= block.col1 && col <= block.col2 && row >= block.row1 && row <= block.row2)
            return static_cast<int>(i);
    }
    return -1;
}

void CTblSelection::GetAnchor(int& col, long& row) const
{
    col = m_nAnchorCol;
    row = m_nAnchorRow;
}

bool CTblSelection::Clear()
{
    const bool several = m_blocks.size() > 1;
    m_blocks.clear();
    m_nAnchorCol = -1;
    m_nAnchorRow = -1;
    return several;
}

bool CTblSelection::IsMultiple() const
{
    if (m_blocks.size() != 1)
        return m_blocks.size() > 1;
    const Block& block = m_blocks.front();
    return block.col1 != block.col2 || block.row1 != block.row2;
}
