// Sizes a grid so that its cell area gets the wanted size, whichever scroll bars the
// layout then shows.
#pragma once

#include "TblCtrl.h"

inline void LayOut(CTblCtrl& grid, int cellWidth, int cellHeight)
{
    int width = cellWidth + grid.GetSheet()->m_nRowHeaderWidth;
    int height = cellHeight + grid.GetSheet()->m_nColHeaderHeight;
    for (int pass = 0; pass < 3; ++pass) {
        grid.resize(width, height);
        grid.RecalcLayout();
        width += cellWidth - grid.GetSheet()->m_nCellAreaWidth;
        height += cellHeight - grid.GetSheet()->m_nCellAreaHeight;
    }
}
